"""Turns a Markdown text of the project's (the users' guide, the release notes) into plain
text for Notepad, Windows 7's included: UTF-8 with a byte-order mark, CRLF line ends, no
Markdown marks, and lines of at most 78 columns (a Chinese character takes two), since
Notepad does not wrap lines unless asked to.

  notepad_text.py SOURCE.md OUTPUT.txt

Headings become numbered titles (一、二、… and （一）（二）… below them), list items keep
their dash or number with their lines indented under them, code blocks are indented, and
pictures are left out. Code within a line is never broken; where it holds Chinese (an
example of what a user types), it is quoted “so”, as Chinese text quotes it. A link names the file that lies beside the text (LICENSE.txt); a
paragraph that only points to a page of the project's own is left out; any other link is
an error, so that the text never names a file that is not there.
"""
import re
import sys
import unicodedata

WIDTH = 78
# Where a link's target lies beside the text: its name there; None: the paragraph is for
# the project's page alone.
LINKS = {"LICENSE": "LICENSE.txt", "README.md": None}
NUMERALS = "一二三四五六七八九"
TOGETHER = "\x00"  # a blank inside code, where no line may break
# Chinese line breaking: no line starts with closing punctuation, none ends with opening.
NO_START = set("，。、；：？！）》」』”’…—%％·,.;:?!)]")
NO_END = set("（《「『“‘([")


def numeral(n):
    tens, ones = divmod(n, 10)
    return ((NUMERALS[tens - 1] if tens > 1 else "") + ("十" if tens else "")
            + (NUMERALS[ones - 1] if ones else ""))


def width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def wide(char):
    return unicodedata.east_asian_width(char) in "WF"


def atoms(text):
    """The text's unbreakable pieces, each with whether a blank stands before it. In Chinese
    text a line may break between any two characters; in English text that quotes a Chinese
    word ("press 开始"), the word stays whole."""
    chinese = sum(map(wide, text)) > len(text) * 0.3
    pieces, word, blank = [], "", False
    for char in text:
        if char == " ":
            if word:
                pieces.append([word, blank])
                word = ""
            blank = True
        elif wide(char) and chinese:
            if word:
                pieces.append([word, blank])
                word, blank = "", False
            pieces.append([char, blank])
            blank = False
        else:
            word += char
    if word:
        pieces.append([word, blank])
    joined = []
    for piece in pieces:
        if joined and not piece[1] and (piece[0][0] in NO_START or joined[-1][0][-1] in NO_END):
            joined[-1][0] += piece[0]
        else:
            joined.append(piece)
    return joined


def wrap(text, first, rest):
    """TEXT in lines of at most WIDTH columns, the first led by FIRST, the others by REST."""
    lines, line = [], first
    for word, blank in atoms(text):
        gap = " " if blank and line.strip() else ""
        if width(line + gap + word) > WIDTH and line.strip():
            lines.append(line)
            line = rest + word
        else:
            line += gap + word
    lines.append(line)
    return lines


def inline(text, source):
    def link(match):
        label, target = match.groups()
        if target not in LINKS:
            sys.exit(f"{source}: a link to {target}, which does not lie beside the text")
        if LINKS[target] is None:
            raise LookupError
        return LINKS[target] if label == target else f"{label}（{LINKS[target]}）"

    def code(match):
        text = match.group(1).replace(" ", TOGETHER)
        return f"“{text}”" if any(wide(c) for c in text) else text

    text = re.sub(r"\[([^]]*)\]\(([^)]*)\)", link, text)
    text = re.sub(r"`([^`]*)`", code, text).replace("**", "")
    # No blank between a quote and the Chinese beside it.
    chinese = "[\u3000-\u9fff\uff00-\uffef]"
    text = re.sub(f"(?<=”) +(?={chinese})|(?<={chinese}) +(?=“)", "", text)
    return text


def join(lines):
    """A paragraph's source lines as one: no blank where a line break falls between two
    Chinese characters."""
    text = ""
    for line in lines:
        line = line.strip()
        if text and not (wide(text[-1]) and wide(line[0])):
            text += " "
        text += line
    return text


def convert(markdown, source):
    out, paragraph, code, counts = [], [], None, [0, 0]
    item = None  # the lead of the list item being read, if any

    def flush():
        nonlocal paragraph, item
        if paragraph:
            try:
                text = inline(join(paragraph), source)
            except LookupError:
                text = None
            if text is not None:
                lead = item or ""
                lines = wrap(text, lead, " " * width(lead))
                out.extend(line.replace(TOGETHER, " ") for line in lines)
                if not item:
                    out.append("")
        paragraph, item = [], None

    for line in markdown.splitlines():
        if code is not None:
            if line.startswith("```"):
                out.extend(code + [""])
                code = None
            else:
                code.append("    " + line)
            continue
        if line.startswith("```"):
            flush()
            code = []
        elif line.startswith("!["):
            flush()
        elif not line.strip():
            flush()
            if out and out[-1]:
                out.append("")
        elif heading := re.match(r"(#+) (.*)", line):
            flush()
            level, title = len(heading.group(1)), inline(heading.group(2), source)
            if level == 1:
                out.extend([title, "=" * width(title), ""])
                continue
            if level == 2:
                counts = [counts[0] + 1, 0]
                lead = f"{numeral(counts[0])}、"
            else:
                counts[1] += 1
                lead = f"（{numeral(counts[1])}）"
            out.extend(wrap(title, lead, " " * width(lead)) + [""])
        elif lead := re.match(r"(- |\d+\. )(.*)", line):
            flush()
            item = lead.group(1)
            paragraph = [lead.group(2)]
        else:
            paragraph.append(line)
    flush()
    while out and not out[-1]:
        out.pop()
    return out


if __name__ == "__main__":
    source, output = sys.argv[1:3]
    lines = convert(open(source, encoding="utf-8").read(), source)
    with open(output, "w", encoding="utf-8-sig", newline="") as text:
        text.write("\r\n".join(lines) + "\r\n")
