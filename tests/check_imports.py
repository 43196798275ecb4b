#!/usr/bin/env python3
"""Fails on any function a binary imports that tests/imports.txt does not
list, or that the list says needs a newer Windows than the one promised.

    check_imports.py ALLOW_LIST BINARY...
"""
import struct
import sys

# The oldest systems the README promises, and the later ones in order.
SYSTEMS = {"9x": ["95", "95+IE4", "98", "ME"], "NT": ["NT4", "2000", "XP"]}
PROMISED = {"9x": "95+IE4", "NT": "NT4"}


def imports(path):
    """(dll, function) pairs of the PE file's import table; '#n' for an ordinal."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        sys.exit(f"{path}: not a 32-bit program")
    import_rva, delay_rva = (struct.unpack_from("<I", data, optional + 96 + 8 * i)[0] for i in (1, 13))
    if delay_rva:
        sys.exit(f"{path}: delay-loaded imports are not checked; bind them with GetProcAddress")
    table = [struct.unpack_from("<8xII4xI", data, optional + optional_size + 40 * i)
             for i in range(sections)]  # virtual size, address, raw offset

    def offset(rva):
        return next(raw + rva - va for size, va, raw in table if va <= rva < va + size)

    def text(rva):
        start = offset(rva)
        return data[start:data.index(b"\0", start)].decode()

    found, descriptor = [], import_rva and offset(import_rva)
    while import_rva:
        lookup, name, thunks = struct.unpack_from("<I8xII", data, descriptor)
        if not name:
            break
        descriptor += 20
        at = offset(lookup or thunks)
        while thunk := struct.unpack_from("<I", data, at)[0]:
            function = f"#{thunk & 0xFFFF}" if thunk & 1 << 31 else text(thunk + 2)
            found.append((text(name).lower(), function))
            at += 4
    return found


def main(allow_list, binaries):
    allowed, faults = set(), []
    for line in open(allow_list):
        fields = line.split("#")[0].split()
        if not fields:
            continue
        dll, function, *oldest = fields
        allowed.add((dll.lower(), function))
        for line_name, system in zip(SYSTEMS, oldest[:2]):
            order = SYSTEMS[line_name]
            if system not in order or order.index(system) > order.index(PROMISED[line_name]):
                faults.append(f"{allow_list}: {dll} {function} needs {system}, "
                              f"more than the promised {PROMISED[line_name]}")
        if len(oldest) < 2:
            faults.append(f"{allow_list}: {dll} {function} lacks its oldest 9x and NT systems")
    for path in binaries:
        for dll, function in imports(path):
            if (dll, function) not in allowed:
                faults.append(f"{path}: imports {dll} {function}, which {allow_list} does not list")
    if faults:
        sys.exit("\n".join(faults))
    print(f"{len(binaries)} binaries import only what {allow_list} lists")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
