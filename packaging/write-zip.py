#!/usr/bin/env python3
"""Packs a folder into a zip that depends only on the files' bytes and names.

usage: write-zip.py FOLDER ZIP EPOCH

Entries are sorted by name, dated EPOCH (seconds, UTC), marked as plain files readable by all,
and compressed at one fixed level; no folder entries, no extra fields, no comment.
"""
import os
import sys
import time
import zipfile


def main():
    folder, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # The zip format cannot hold a date before 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    names = []
    for parent, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(parent, name)
            names.append(os.path.relpath(path, folder).replace(os.sep, "/"))
    names.sort()
    with zipfile.ZipFile(target + ".part", "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.create_system = 3
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(target + ".part", target)


if __name__ == "__main__":
    main()
