"""Makes a portable zip that has the same bytes wherever and whenever it is made: the files
in the order given, under their own names (UTF-8, flagged so), each with the release's time
(SOURCE_DATE_EPOCH; else the newest file's), and no owner or other time beside it.

  make_zip.py OUTPUT.zip FILE...
"""
import os
import sys
import time
import zipfile

output, files = sys.argv[1], sys.argv[2:]
epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or max(os.stat(f).st_mtime for f in files))
stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip's dates start in 1980
with zipfile.ZipFile(output, "w") as archive:
    for name in files:
        entry = zipfile.ZipInfo(os.path.basename(name), stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o100644 << 16
        with open(name, "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
