#!/usr/bin/env python3
"""Generates the 30 permutation tables of the pack cipher.

The tables are constant data of the engine: packs written with one set of tables can only be read
with the same set, so the seed below must never change. Run without arguments to print the C++
source; with --output FILE to write it; with --check FILE to verify a committed file is current.
"""

import argparse
import sys

TABLE_COUNT = 30
TABLE_SIZE = 256
SEED = 0x54513244_4D4F5256  # fixed forever: changing it changes every pack ever written

_MASK64 = (1 << 64) - 1


def _splitmix64(state):
    """One step of SplitMix64: returns (new state, 64-bit output)."""
    state = (state + 0x9E3779B97F4A7C15) & _MASK64
    z = state
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & _MASK64
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & _MASK64
    return state, z ^ (z >> 31)


def make_tables():
    """The 30 permutations of 0..255, each shuffled by Fisher-Yates from one SplitMix64 stream."""
    state = SEED
    tables = []
    for _ in range(TABLE_COUNT):
        table = list(range(TABLE_SIZE))
        for i in range(TABLE_SIZE - 1, 0, -1):
            # Rejection sampling keeps the choice unbiased.
            limit = _MASK64 - (_MASK64 + 1) % (i + 1)
            while True:
                state, r = _splitmix64(state)
                if r <= limit:
                    break
            j = r % (i + 1)
            table[i], table[j] = table[j], table[i]
        tables.append(table)
    return tables


def render_cpp(tables):
    lines = [
        "// GENERATED FILE - do not edit. Made by tools/gen_cipher_tables.py; run it to regenerate.",
        "// The 30 permutation tables of the pack cipher.",
        '#include "engine/cmorvainetables.h"',
        "",
        "const uint32_t g_morvaineCipherTables[MORVAINE_TABLE_COUNT][256] = {",
    ]
    for table in tables:
        lines.append("    {")
        for row in range(0, TABLE_SIZE, 16):
            values = ", ".join("0x%02X" % v for v in table[row:row + 16])
            lines.append("        " + values + ",")
        lines.append("    },")
    lines.append("};")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output", help="write the C++ source to this file")
    parser.add_argument("--check", help="exit 1 unless this file equals the generated source")
    args = parser.parse_args()
    source = render_cpp(make_tables())
    if args.check:
        with open(args.check, encoding="utf-8") as f:
            if f.read() != source:
                print("%s is not current; regenerate it" % args.check, file=sys.stderr)
                return 1
        return 0
    if args.output:
        with open(args.output, "w", encoding="utf-8") as f:
            f.write(source)
    else:
        sys.stdout.write(source)
    return 0


if __name__ == "__main__":
    sys.exit(main())
