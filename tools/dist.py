#!/usr/bin/env python3
"""Packs the release zip: the three binaries and README.txt, always in the
same order with fixed timestamps and attributes, so the same sources give a
byte-identical archive.

    dist.py BIN_DIR README OUT_ZIP      pack
    dist.py --check OUT_ZIP BIN_DIR     verify the archive's names and contents
"""
import sys
import zipfile

BINARIES = ["marbel.exe", "barshell.dll", "bartask.dll"]
NAMES = BINARIES + ["README.txt"]
STAMP = (2026, 1, 1, 0, 0, 0)


def entry(name):
    info = zipfile.ZipInfo(name, date_time=STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS: no Unix permissions in the archive
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
    return info


def pack(bin_dir, readme, out):
    with open(readme, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")  # Notepad line ends
    with zipfile.ZipFile(out, "w") as z:
        for name in BINARIES:
            with open(f"{bin_dir}/{name}", "rb") as f:
                z.writestr(entry(name), f.read(), compresslevel=9)
        z.writestr(entry("README.txt"), text, compresslevel=9)


def check(out, bin_dir):
    with zipfile.ZipFile(out) as z:
        names = z.namelist()
        if names != NAMES:
            sys.exit(f"{out}: holds {names}, expected {NAMES}")
        for name in BINARIES:
            with open(f"{bin_dir}/{name}", "rb") as f:
                if z.read(name) != f.read():
                    sys.exit(f"{out}: {name} differs from {bin_dir}/{name}")
        if b"\r\n" not in z.read("README.txt"):
            sys.exit(f"{out}: README.txt lacks Windows line ends")
    print(f"{out}: {len(names)} files as expected")


if __name__ == "__main__":
    if sys.argv[1] == "--check":
        check(sys.argv[2], sys.argv[3])
    else:
        pack(*sys.argv[1:4])
