"""Turns the users' guide (Markdown) into the text that Windows users open in Notepad,
Windows 7's included: UTF-8 with a byte-order mark and CRLF line ends, without the
pictures, which only the project's page shows.

  guide_text.py README.zh-CN.md 使用指南.txt
"""
import sys

source, output = sys.argv[1:3]
lines = open(source, encoding="utf-8").read().splitlines()
text = "\r\n".join(line for line in lines if not line.startswith("!["))
with open(output, "w", encoding="utf-8-sig", newline="") as out:
    out.write(text + "\r\n")
