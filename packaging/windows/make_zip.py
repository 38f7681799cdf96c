"""Makes a portable zip that has the same bytes wherever and whenever it is made: one folder
named after the zip, holding the files in the order given, each with the release's time
(SOURCE_DATE_EPOCH; else the newest file's) and no owner or other time beside it.

Names are stored as Chinese archivers store them, for the extractors that users have:
Windows 7's own reads a name in the system's code page and ignores the UTF-8 flag, so a
Chinese name is stored in CP936 (GBK) without the flag, and again in UTF-8 in the Info-ZIP
Unicode Path field (0x7075), which 7-Zip, WinRAR, Bandizip, Info-ZIP's unzip and Windows 10
and 11 read. ASCII names are the same either way.

  make_zip.py OUTPUT.zip FILE...
"""
import os
import struct
import sys
import time
import zipfile
import zlib


class Entry(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode("cp936"), self.flag_bits


def entry(name, stamp, mode):
    item = Entry(name, stamp)
    item.external_attr = mode << 16 | (0x10 if name.endswith("/") else 0)  # 0x10: a folder
    if not name.isascii():
        stored, utf8 = name.encode("cp936"), name.encode("utf-8")
        item.extra = struct.pack("<HHBI", 0x7075, 5 + len(utf8), 1, zlib.crc32(stored)) + utf8
    return item


output, files = sys.argv[1], sys.argv[2:]
epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or max(os.stat(f).st_mtime for f in files))
stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip's dates start in 1980
folder = os.path.basename(output).removesuffix(".zip") + "/"
with zipfile.ZipFile(output, "w") as archive:
    archive.writestr(entry(folder, stamp, 0o40755), b"")
    for name in files:
        item = entry(folder + os.path.basename(name), stamp, 0o100644)
        item.compress_type = zipfile.ZIP_DEFLATED
        with open(name, "rb") as source:
            archive.writestr(item, source.read(), compresslevel=9)
