#!/usr/bin/env python3
"""Reader and writer of the engine's resource pack format, written apart from the engine's own code.

The tests use it to check packs in both directions: packs written here are read by the engine's
tools, and packs written by the engine are read and checked here.

Layout (all numbers unsigned 32-bit little-endian):
    header   "MORV", fileTableOffset, freeTableOffset, fileCount, freeCount        (20 bytes)
    data     the enciphered stored files; a record's offset counts from the header's end
    tables   fileCount records, then freeCount records, each a 128-byte NUL-terminated name,
             the offset and the size (136 bytes)
Stored bytes are enciphered per byte: c = P_t[b XOR key[(i + 1) mod len]], where t is chosen by a
hash of the stored (normalised) name.

Command line: packformat.py list PACK | extract PACK FOLDER | create PACK FOLDER
"""

import errno
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_cipher_tables import make_tables  # noqa: E402  (the tables are part of the format)

MAGIC = b"MORV"
HEADER = struct.Struct("<4sIIII")
RECORD = struct.Struct("<128sII")
DEFAULT_KEY = b"VentoraK"
TABLES = make_tables()
INVERSES = []
for _table in TABLES:
    _inverse = [0] * 256
    for _plain, _coded in enumerate(_table):
        _inverse[_coded] = _plain
    INVERSES.append(_inverse)


class PackError(Exception):
    """The bytes are not a well-formed pack."""


def normalize_name(name):
    """Stored form of a name: no leading or trailing slashes, '\\' separators, ASCII upper case."""
    if isinstance(name, str):
        name = name.encode("gbk")
    name = name.strip(b"\\/").replace(b"/", b"\\")
    return bytes(c - 32 if 0x61 <= c <= 0x7A else c for c in name)


def table_index(name):
    """Which permutation table enciphers a stored name; bytes from 0x80 count as negative."""
    h = 0
    for c in name:
        signed = c - 256 if c >= 0x80 else c
        h = ((h << 4) + signed) & 0xFFFFFFFF
        g = h & 0xF0000000
        if g:
            h ^= g >> 24
            h &= ~g & 0xFFFFFFFF
    return (h & 0x7FFFFFFF) % len(TABLES)


def _key_stream(key, length):
    return (key[(i + 1) % len(key)] for i in range(length))


def encipher(data, name, key=DEFAULT_KEY):
    table = TABLES[table_index(normalize_name(name))]
    return bytes(table[b ^ k] for b, k in zip(data, _key_stream(key, len(data))))


def decipher(data, name, key=DEFAULT_KEY):
    inverse = INVERSES[table_index(normalize_name(name))]
    return bytes(inverse[c] ^ k for c, k in zip(data, _key_stream(key, len(data))))


class Pack:
    """A pack read from bytes: header fields, file records by name, free records in order."""

    def __init__(self, raw, key=DEFAULT_KEY):
        self.raw = raw
        self.key = key
        if len(raw) < HEADER.size:
            raise PackError("shorter than the header")
        magic, self.file_table, self.free_table, file_count, free_count = HEADER.unpack_from(raw)
        if magic != MAGIC:
            raise PackError("bad magic")
        if self.file_table < HEADER.size or self.free_table != self.file_table + RECORD.size * file_count:
            raise PackError("tables out of place")
        if self.free_table + RECORD.size * free_count > len(raw):
            raise PackError("tables beyond the end")
        self.files = {}
        for name, offset, size in self._records(self.file_table, file_count):
            self.files[name] = (offset, size)
        self.free = list(self._records(self.free_table, free_count))

    def _records(self, start, count):
        data_end = self.file_table - HEADER.size
        for i in range(count):
            field, offset, size = RECORD.unpack_from(self.raw, start + i * RECORD.size)
            if b"\0" not in field:
                raise PackError("name without NUL")
            if offset + size > data_end:
                raise PackError("record beyond the data area")
            yield field.split(b"\0", 1)[0], offset, size

    @property
    def header(self):
        return (self.file_table, self.free_table, len(self.files), len(self.free))

    def names(self):
        return sorted(self.files)

    def read(self, name):
        stored = normalize_name(name)
        offset, size = self.files[stored]
        start = HEADER.size + offset
        return decipher(self.raw[start:start + size], stored, self.key)


def read_pack(path, key=DEFAULT_KEY):
    with open(path, "rb") as f:
        return Pack(f.read(), key)


def write_pack(path, files, key=DEFAULT_KEY, free=(), filler=b"\0"):
    """Writes a pack holding files (name -> bytes), stored back to back in the given order.

    free: (name, offset, size) records to put in the free table, as they are.
    """
    data = bytearray()
    records = []
    for name, content in files.items():
        stored = normalize_name(name)
        if not stored or len(stored) > 127:
            raise ValueError("unusable name %r" % name)
        if any(stored == other for other, _, _ in records):
            raise ValueError("name %r is stored like an earlier one" % name)
        records.append((stored, len(data), len(content)))
        data += encipher(content, stored, key)
    file_table = HEADER.size + len(data)
    free_table = file_table + RECORD.size * len(records)
    out = bytearray(HEADER.pack(MAGIC, file_table, free_table, len(records), len(free)))
    out += data
    for name, offset, size in sorted(records) + list(free):
        field = name + b"\0" + filler * (127 - len(name))
        out += RECORD.pack(field[:128], offset, size)
    with open(path, "wb") as f:
        f.write(out)


def _main(argv):
    wanted = {"list": 2, "extract": 3, "create": 3}
    if not argv or wanted.get(argv[0]) != len(argv):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        return _run(*argv)
    except PackError as error:
        print("packformat.py: %s is not a pack or is damaged (%s)" % (argv[1], error), file=sys.stderr)
    except (OSError, ValueError) as error:
        where = getattr(error, "filename", None) or argv[1]
        print("packformat.py: %s: %s" % (where, getattr(error, "strerror", None) or error), file=sys.stderr)
    return 1


def _run(command, pack_path, folder=None):
    if command == "create":
        if not os.path.isdir(folder):
            raise FileNotFoundError(errno.ENOENT, "no such folder", folder)
        files = {}
        for root, _, names in os.walk(folder):
            for name in sorted(names):
                full = os.path.join(root, name)
                with open(full, "rb") as f:
                    files[os.path.relpath(full, folder).replace(os.sep, "/")] = f.read()
        write_pack(pack_path, files)
        return 0
    pack = read_pack(pack_path)
    status = 0
    for name in pack.names():
        if command == "list":
            print(name.decode("gbk", errors="replace"), pack.files[name][1])
            continue
        target = extract_target(folder, name)
        if target is None:
            print("refusing to extract %r outside the folder" % name, file=sys.stderr)
            status = 1
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(pack.read(name))
    return status


def extract_target(folder, name):
    """The path a stored name is extracted to below folder, or None when it would leave it."""
    parts = name.decode("gbk", errors="replace").replace("\\", "/").split("/")
    root = os.path.normpath(os.path.abspath(folder))
    target = os.path.normpath(os.path.join(root, *parts))
    if target == root or os.path.commonpath([root, target]) != root:
        return None
    return target


if __name__ == "__main__":
    sys.exit(_main(sys.argv[1:]))
