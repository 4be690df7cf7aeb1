#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes case_table.h, the simple upper- and lower-case mappings of every code point, from the
# Unicode Character Database. Run it again when a newer Unicode is wanted, and commit its output:
#   python3 src/edit/make_case_table.py [UCD_FOLDER]
# UCD_FOLDER holds UnicodeData.txt and ReadMe.txt (default /usr/share/unicode, Debian's
# unicode-data package). The build reads only the checked-in case_table.h.
import pathlib
import re
import sys

ucd = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode")
output = pathlib.Path(__file__).with_name("case_table.h")

readme = (ucd / "ReadMe.txt").read_text(encoding="utf-8")
version = re.search(r"for Version (\d+\.\d+\.\d+) of the Unicode Standard", readme)
if not version:
    sys.exit(f"{ucd / 'ReadMe.txt'} names no Unicode version")
version = version.group(1)

# Each code point's (upper, lower) delta. Fields 12 and 13 are the simple mappings; the ranges
# written as <..., First> and <..., Last> (ideographs, Hangul, private use) have none.
deltas = {}
for line in (ucd / "UnicodeData.txt").read_text(encoding="utf-8").splitlines():
    fields = line.split(";")
    code = int(fields[0], 16)
    upper = int(fields[12], 16) if fields[12] else code
    lower = int(fields[13], 16) if fields[13] else code
    if (upper, lower) != (code, code):
        deltas[code] = (upper - code, lower - code)

# Two stages: the code point's block picks a row of delta numbers, and the rows are shared, so
# the blocks without a cased letter all point to one row of zeros. The block size is whichever
# gives the smallest table.
pairs = [(0, 0)] + sorted(set(deltas.values()))
pair_number = {pair: n for n, pair in enumerate(pairs)}
limit = max(deltas) + 1
assert len(pairs) <= 256


def stages(shift):
    rows, block_rows = {}, []
    for start in range(0, limit, 1 << shift):
        row = tuple(pair_number[deltas.get(code, (0, 0))] for code in range(start, start + (1 << shift)))
        block_rows.append(rows.setdefault(row, len(rows)))
    return block_rows, list(rows)


def size(shift):
    block_rows, rows = stages(shift)
    return len(block_rows) + len(rows) * (1 << shift) + len(pairs) * 8


shift = min(range(3, 10), key=size)
block_rows, rows = stages(shift)
assert len(rows) <= 256
limit = len(block_rows) << shift


def numbers(values, per_line):
    text = [", ".join(str(v) for v in values[i:i + per_line]) for i in range(0, len(values), per_line)]
    return ",\n    ".join(text)


output.write_text(f"""\
// SPDX-License-Identifier: MIT
// The simple case mappings of Unicode {version}, made by make_case_table.py from UnicodeData.txt: do not edit.
#pragma once
// clang-format off

#include <cstdint>
#include <string_view>

namespace CaseTable {{

inline constexpr std::string_view kUnicodeVersion = "{version}";

// What to add to a code point for its upper and its lower case.
struct Deltas
{{
    std::int32_t upper;
    std::int32_t lower;
}};

// No code point from kLimit on has a case mapping. Below it, code point c has the deltas
// kDeltas[kRows[kRowOfBlock[c >> kShift] << kShift | (c & kMask)]].
inline constexpr char32_t kLimit = {limit:#x};
inline constexpr int kShift = {shift};
inline constexpr char32_t kMask = (1 << kShift) - 1;

inline constexpr Deltas kDeltas[{len(pairs)}] = {{
    {numbers([f"{{{u}, {l}}}" for u, l in pairs], 6)},
}};

inline constexpr std::uint8_t kRowOfBlock[{len(block_rows)}] = {{
    {numbers(block_rows, 32)},
}};

inline constexpr std::uint8_t kRows[{len(rows)} << kShift] = {{
    {numbers([n for row in rows for n in row], 32)},
}};

}} // namespace CaseTable
""")
print(f"{output}: Unicode {version}, {len(deltas)} code points mapped, {size(shift)} bytes of table")
