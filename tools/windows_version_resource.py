#!/usr/bin/env python3
"""Reads the version resource (VERSIONINFO) of a Windows executable.

The build of the Windows programs runs this as a check: every executable
given as PATH=DESCRIPTION must carry a version resource whose numeric file
and product versions and whose texts FileVersion, ProductVersion,
ProductName, FileDescription and OriginalFilename say what CMake wrote into
it. Prints one line per executable; exit code 1 when one is missing or wrong.

    windows_version_resource.py --product NAME --version 4.3 PATH=DESCRIPTION...

Standard library only; tools/make_dist.py also reads the version with it.
"""

import argparse
import struct
import sys
from pathlib import Path

RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


class NotAVersionedProgram(Exception):
    pass


def _resource_section(data):
    """The bytes of the image and a function that turns an RVA into an offset,
    plus the RVA of the resource directory."""
    if data[:2] != b"MZ":
        raise NotAVersionedProgram("not a Windows program (no MZ header)")
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise NotAVersionedProgram("not a Windows program (no PE header)")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe_offset + 6)
    optional = pe_offset + 24
    (magic,) = struct.unpack_from("<H", data, optional)
    # The data directories follow the fixed part, whose size differs for PE32+.
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, 96)
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if resource_rva == 0 or resource_size == 0:
        raise NotAVersionedProgram("no resources")
    table = optional + optional_size
    spans = []
    for index in range(sections):
        size, rva, raw_size, raw_offset = struct.unpack_from("<8xIIII", data, table + 40 * index)
        spans.append((rva, max(size, raw_size), raw_offset))

    def offset(rva):
        for start, size, raw_offset in spans:
            if start <= rva < start + size:
                return raw_offset + rva - start
        raise NotAVersionedProgram(f"RVA {rva:#x} lies in no section")

    return offset, resource_rva


def _first_entry(data, directory, wanted_id=None):
    """The first entry of a resource directory (with the given id, if one is
    given): its target offset, relative to the resource section, and whether
    it is another directory."""
    named, numbered = struct.unpack_from("<12xHH", data, directory)
    for index in range(named + numbered):
        name, target = struct.unpack_from("<II", data, directory + 16 + 8 * index)
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return target & 0x7FFFFFFF, bool(target & 0x80000000)
    return None


def _version_block(data):
    offset, resource_rva = _resource_section(data)
    base = offset(resource_rva)
    entry = _first_entry(data, base, RT_VERSION)
    if entry is None:
        raise NotAVersionedProgram("no version resource")
    # Type, then name, then language: the first of each.
    while entry[1]:
        entry = _first_entry(data, base + entry[0])
        if entry is None:
            raise NotAVersionedProgram("an empty resource directory")
    data_rva, size = struct.unpack_from("<II", data, base + entry[0])
    start = offset(data_rva)
    return data[start:start + size]


def _align(position):
    return (position + 3) & ~3


def _nodes(block, start, end):
    """The VS_VERSIONINFO nodes between start and end: (key, value bytes,
    value is text, children start, node end)."""
    while start + 6 <= end:
        length, value_length, is_text = struct.unpack_from("<HHH", block, start)
        if length == 0:
            break
        key_end = start + 6
        while key_end < end and block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[start + 6:key_end].decode("utf-16-le")
        value_start = _align(key_end + 2)
        value_bytes = value_length * 2 if is_text else value_length
        node_end = start + length
        yield key, block[value_start:value_start + value_bytes], bool(is_text), \
            _align(value_start + value_bytes), node_end
        start = _align(node_end)


def read_version_resource(path):
    """Returns (file version, product version, texts) of the executable at
    path: the versions as "a.b.c.d" from the fixed part, the texts as a dict
    of the first string table. Raises NotAVersionedProgram."""
    block = _version_block(Path(path).read_bytes())
    roots = list(_nodes(block, 0, len(block)))
    if not roots or roots[0][0] != "VS_VERSION_INFO":
        raise NotAVersionedProgram("the version resource has no VS_VERSION_INFO")
    _, fixed, _, children, root_end = roots[0]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != FIXED_FILE_INFO_SIGNATURE:
        raise NotAVersionedProgram("the version resource has no fixed file information")

    def numbers(most, least):
        return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"

    texts = {}
    for key, _, _, table_start, table_end in _nodes(block, children, root_end):
        if key != "StringFileInfo":
            continue
        for _, _, _, strings_start, strings_end in _nodes(block, table_start, table_end):
            for name, value, _, _, _ in _nodes(block, strings_start, strings_end):
                texts[name] = value.decode("utf-16-le").rstrip("\0")
            break
    return numbers(file_ms, file_ls), numbers(product_ms, product_ls), texts


def check(path, description, product, version):
    """What is wrong with the version resource of path, as a list of texts."""
    try:
        file_version, product_version, texts = read_version_resource(path)
    except (NotAVersionedProgram, struct.error) as problem:
        return [str(problem)]
    numbers = ".".join((version.split(".") + ["0"] * 4)[:4])
    expected = {
        "file version": (file_version, numbers),
        "product version": (product_version, numbers),
        "FileVersion": (texts.get("FileVersion"), version),
        "ProductVersion": (texts.get("ProductVersion"), version),
        "ProductName": (texts.get("ProductName"), product),
        "FileDescription": (texts.get("FileDescription"), description),
        "OriginalFilename": (texts.get("OriginalFilename"), Path(path).name),
    }
    return [f"{what} is {found!r}, expected {wanted!r}"
            for what, (found, wanted) in expected.items() if found != wanted]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--product", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("programs", nargs="+", metavar="PATH=DESCRIPTION")
    options = parser.parse_args()
    status = 0
    for program in options.programs:
        path, _, description = program.rpartition("=")
        faults = check(path, description, options.product, options.version)
        if faults:
            status = 1
            print(f"{path}: " + "; ".join(faults))
        else:
            print(f"{path}: version resource {options.product} {options.version}, {description}")
    return status


if __name__ == "__main__":
    sys.exit(main())
