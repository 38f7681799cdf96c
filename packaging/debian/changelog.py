"""Turns CHANGELOG.md into the Debian changelog that the package carries.

  changelog.py CHANGELOG.md MAINTAINER OUTPUT

Each release is a heading "## VERSION (YYYY-MM-DD)" followed by items "- ..." whose
continuation lines are indented; anything else is the file's own introduction.
"""
import datetime
import email.utils
import re
import sys

source, maintainer, output = sys.argv[1:4]
entries = []
for line in open(source, encoding="utf-8"):
    line = line.rstrip()
    heading = re.fullmatch(r"## (\S+) \((\d{4})-(\d\d)-(\d\d)\)", line)
    if heading:
        day = datetime.datetime(*map(int, heading.groups()[1:]), tzinfo=datetime.timezone.utc)
        entries.append((heading.group(1), email.utils.format_datetime(day), []))
    elif entries and line.startswith("- "):
        entries[-1][2].append("  * " + line[2:])
    elif entries and line.startswith("  ") and entries[-1][2]:
        entries[-1][2].append("  " + line)
    elif entries and line:
        sys.exit(f"{source}: not an item of release {entries[-1][0]}: {line}")
if not entries:
    sys.exit(f"{source}: no release")

with open(output, "w", encoding="utf-8") as out:
    for version, date, items in entries:
        out.write(f"korvane ({version}) unstable; urgency=medium\n\n")
        out.write("\n".join(items) + "\n\n")
        out.write(f" -- {maintainer}  {date}\n\n")
