#!/usr/bin/env python3
"""Reads a Windows program's resources from outside: prints its version
strings, its icon sizes and its manifest, one item a line.
Usage: resources.py <program.exe>"""
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def sections(data):
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    count, optional_size = struct.unpack_from('<H12xH', data, pe + 6)
    table = pe + 24 + optional_size
    for i in range(count):
        name, _, rva, raw_size, raw_offset = struct.unpack_from('<8sIIII', data, table + 40 * i)
        yield name.rstrip(b'\0').decode(), rva, raw_size, raw_offset


def resources(data):
    """(type, id) -> bytes of the first language."""
    rsrc = next(s for s in sections(data) if s[0] == '.rsrc')
    _, base_rva, _, base = rsrc

    def entries(offset):
        names, ids = struct.unpack_from('<12xHH', data, base + offset)
        for i in range(names + ids):
            key, value = struct.unpack_from('<II', data, base + offset + 16 + 8 * i)
            yield key, value

    found = {}
    for kind, kind_dir in entries(0):
        for ident, ident_dir in entries(kind_dir & 0x7FFFFFFF):
            _, leaf = next(entries(ident_dir & 0x7FFFFFFF))
            rva, size = struct.unpack_from('<II', data, base + leaf)
            found[(kind, ident)] = data[base + rva - base_rva:base + rva - base_rva + size]
    return found


def version_strings(block):
    """The StringFileInfo values of a VS_VERSION_INFO block."""
    text = block.decode('utf-16-le', 'replace')
    values = {}
    for key in ('CompanyName', 'FileDescription', 'FileVersion', 'InternalName', 'LegalCopyright',
                'OriginalFilename', 'ProductName', 'ProductVersion'):
        at = text.find(key + '\0')
        if at < 0:
            continue
        rest = text[at + len(key) + 1:].lstrip('\0')
        values[key] = rest[:rest.find('\0')]
    return values


def main():
    data = open(sys.argv[1], 'rb').read()
    found = resources(data)
    for (kind, ident), block in sorted(found.items()):
        if kind == RT_VERSION:
            fixed = block.find(struct.pack('<I', 0xFEEF04BD))
            ms, ls = struct.unpack_from('<II', block, fixed + 8)
            print(f'FixedFileVersion={ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}')
            for key, value in version_strings(block).items():
                print(f'{key}={value}')
        elif kind == RT_GROUP_ICON:
            count = struct.unpack_from('<H', block, 4)[0]
            sizes = [block[6 + 14 * i] or 256 for i in range(count)]
            print('IconSizes=' + ','.join(str(s) for s in sizes))
        elif kind == RT_MANIFEST:
            for line in block.decode('utf-8').splitlines():
                print('Manifest:' + line.strip())


main()
