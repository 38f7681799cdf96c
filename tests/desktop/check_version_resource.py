#!/usr/bin/env python3
"""Compiles the Windows version resource with MinGW's windres and checks that it holds
exactly Korvane's version record: check_version_resource.py WINDRES RCFILE"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

EXPECTED_STRINGS = {
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "ProductName": "Korvane（V1.0.0）",
    "InternalName": "Korvane（V1.0.5）",
    "OriginalFilename": "Korvane（V1.0.5）.exe",
}


def decode(literal: str) -> str:
    """A string as windres writes it back: "..." or L"..." with \\xNNNN escapes."""
    body = literal[2:-1] if literal.startswith("L") else literal[1:-1]
    return re.sub(r"\\x([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), body)


def main() -> int:
    windres, rc_file = sys.argv[1], Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        res = Path(work) / "korvane.res"
        subprocess.run([windres, "--preprocessor=cpp", "--preprocessor-arg=-P", "-c", "65001",
                        "-I", str(rc_file.parent), "-i", str(rc_file), "-O", "res", "-o", str(res)],
                       check=True)
        text = subprocess.run([windres, "-i", str(res), "-O", "rc"], check=True,
                              capture_output=True, text=True).stdout
    problems = []
    strings = {m.group(1): decode(m.group(2))
               for m in re.finditer(r'VALUE "(\w+)", (L?"[^"]*")', text)}
    if strings != EXPECTED_STRINGS:
        problems.append(f"strings {strings} are not {EXPECTED_STRINGS}")
    for needed in ['BLOCK "080404B0"', "FILEVERSION 1, 0, 0, 0", "PRODUCTVERSION 1, 0, 0, 0",
                   'VALUE "Translation", 0x804, 1200', "RT_MANIFEST"]:
        if needed not in text:
            problems.append(f"missing: {needed}")
    before_record = text.split("1 VERSIONINFO")[0]
    if re.findall(r"LANGUAGE (\d+, \d+)", before_record)[-1:] != ["4, 2"]:
        problems.append("the version record is not in Chinese (PRC)")
    for problem in problems:
        print("version resource:", problem)
    if not problems:
        print("version resource: holds exactly", EXPECTED_STRINGS)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
