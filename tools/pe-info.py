#!/usr/bin/python3
"""Prints what the static checks read of a PE image, one fact a line, from its
tables themselves (pefile) rather than from a disassembler's prose:
    machine i386|amd64
    dll yes|no
    subsystem N
    export NAME          (one line each, by name)
    import DLL           (one line each)
    tools/pe-info.py FILE"""
import sys

import pefile

MACHINES = {0x14C: "i386", 0x8664: "amd64"}

image = pefile.PE(sys.argv[1], fast_load=True)
image.parse_data_directories(directories=[
    pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"],
    pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
])
print("machine", MACHINES.get(image.FILE_HEADER.Machine, hex(image.FILE_HEADER.Machine)))
print("dll", "yes" if image.FILE_HEADER.Characteristics & 0x2000 else "no")
print("subsystem", image.OPTIONAL_HEADER.Subsystem)
exports = image.DIRECTORY_ENTRY_EXPORT.symbols if hasattr(image, "DIRECTORY_ENTRY_EXPORT") else []
for symbol in exports:
    if symbol.name:
        print("export", symbol.name.decode())
for entry in getattr(image, "DIRECTORY_ENTRY_IMPORT", []):
    print("import", entry.dll.decode())
