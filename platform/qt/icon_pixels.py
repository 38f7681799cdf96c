"""Turns the icon's PNG renderings into pixels the program uses as they are.

  icon_pixels.py OUTPUT.h ICON.png...

Decoding a PNG at start-up brings in Qt's image readers and their plugins before the first
window shows; the pixels, as 0xAARRGGBB words (QImage::Format_ARGB32), need nothing.
Reads what rsvg-convert writes: 8-bit RGBA, not interlaced.
"""
import struct
import sys
import zlib


def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    offset, compressed = 8, b""
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        body = data[offset + 8:offset + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour, interlace) != (8, 6, 0):
                sys.exit(f"{path}: not 8-bit RGBA without interlacing")
        elif kind == b"IDAT":
            compressed += body
        offset += 12 + length
    raw = zlib.decompress(compressed)
    stride, rows, previous = width * 4, [], bytearray(width * 4)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = row[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                row[x] = (row[x] + left) & 0xFF
            elif kind == 2:
                row[x] = (row[x] + up) & 0xFF
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                near = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                row[x] = (row[x] + near) & 0xFF
        rows.append(row)
        previous = row
    words = []
    for row in rows:
        for x in range(0, stride, 4):
            r, g, b, a = row[x:x + 4]
            words.append(f"0x{a:02x}{r:02x}{g:02x}{b:02x}u")
    return width, height, words


output, sources = sys.argv[1], sys.argv[2:]
with open(output, "w", encoding="ascii") as out:
    out.write("// Made by icon_pixels.py from the icon's renderings; do not edit.\n")
    out.write("#pragma once\n\n#include <cstdint>\n\nnamespace korvane::icon {\n\n")
    names = []
    for path in sources:
        width, height, words = pixels(path)
        name = f"size{width}"
        names.append((name, width, height))
        out.write(f"inline constexpr std::uint32_t {name}[] = {{\n")
        for start in range(0, len(words), 8):
            out.write("    " + ", ".join(words[start:start + 8]) + ",\n")
        out.write("};\n\n")
    out.write("struct Image {\n    int width;\n    int height;\n    const std::uint32_t* pixels;\n};\n\n")
    out.write("inline constexpr Image images[] = {\n")
    for name, width, height in names:
        out.write(f"    {{{width}, {height}, {name}}},\n")
    out.write("};\n\n} // namespace korvane::icon\n")
