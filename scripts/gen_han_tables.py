#!/usr/bin/env python3
"""Writes the Han character tables the search matches with, from the Unihan
database as Debian's unicode-data package ships it (run by CMake at build time).

  readings  kMandarin and kHanyuPinyin (Unihan_Readings.txt.bz2), without tones,
            "ü" written "v" (and also "u", as most people type it)
  variants  kSimplifiedVariant and kTraditionalVariant (Unihan_Variants.txt.bz2):
            each traditional-only character folds to its simplified form

A simplified character also gets the readings of the traditional characters
that fold to it: the dictionary readings are mostly given for the traditional
form (長 has cháng, 长 only its kMandarin zhǎng).

Usage: gen_han_tables.py UNIHAN_DIR OUTPUT.cpp
"""
import bz2
import os
import re
import sys
import unicodedata

# Code point ranges stored as dense arrays (one entry per code point); the
# rest is a sorted list. Ext. A and the unified block hold nearly every
# character a name in code page 936 can have.
DENSE_RANGES = [(0x3400, 0xA000), (0xF900, 0xFB00)]


def read_fields(path, wanted):
    fields = {}
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            if field in wanted:
                fields.setdefault(field, {})[int(cp[2:], 16)] = value
    return fields


def plain_syllables(reading):
    """A toned reading as the letters typed for it: tones dropped, ü as v and u."""
    text = unicodedata.normalize("NFD", reading.strip().lower())
    text = text.replace("u\u0308", "v")
    text = "".join(c for c in text if not unicodedata.combining(c))
    if not re.fullmatch(r"[a-z]+", text):
        raise ValueError("unexpected reading %r" % reading)
    spellings = [text]
    if "v" in text:
        spellings.append(text.replace("v", "u"))
    return spellings


def readings_of(fields):
    readings = {}

    def add(cp, reading):
        for s in plain_syllables(reading):
            lst = readings.setdefault(cp, [])
            if s not in lst:
                lst.append(s)

    # kMandarin first: its reading is the most common one.
    for cp, value in fields.get("kMandarin", {}).items():
        for r in value.split():
            add(cp, r)
    for cp, value in fields.get("kHanyuPinyin", {}).items():
        for entry in value.split():
            for r in entry.split(":", 1)[1].split(","):
                add(cp, r)
    return readings


def code_points(value):
    return [int(v.split("<")[0][2:], 16) for v in value.split()]


def folds_of(fields):
    simplified = {cp: code_points(v) for cp, v in fields.get("kSimplifiedVariant", {}).items()}
    traditional = {cp: code_points(v) for cp, v in fields.get("kTraditionalVariant", {}).items()}
    fold = {}
    # A character that is not among its own simplified forms is traditional only.
    for cp, forms in simplified.items():
        if cp not in forms:
            fold[cp] = forms[0]
    # The traditional forms a simplified character names, when they say
    # nothing themselves.
    for cp, forms in sorted(traditional.items()):
        for t in forms:
            if t != cp and t not in simplified and t not in fold:
                fold[t] = cp
    # Chains resolved, so that folding twice changes nothing.
    for cp in list(fold):
        seen = {cp}
        target = fold[cp]
        while target in fold and target not in seen:
            seen.add(target)
            target = fold[target]
        fold[cp] = target
    return {cp: t for cp, t in fold.items() if cp != t}


def plane_starts(cps):
    """Where each of the 17 planes starts in an ascending list, and its end."""
    starts = [0] * 18
    for plane in range(18):
        starts[plane] = sum(1 for cp in cps if (cp >> 16) < plane)
    if starts[-1] >= 65536:
        sys.exit("tables outgrew 16-bit indexes")
    return starts


def c_array(ctype, name, values, per_line=16):
    lines = ["const %s %s[] = {" % (ctype, name)]
    values = list(values)
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    unihan, out = sys.argv[1], sys.argv[2]
    sources = [os.path.join(unihan, n) for n in ("Unihan_Readings.txt.bz2", "Unihan_Variants.txt.bz2")]
    for s in sources:
        if not os.path.exists(s):
            sys.exit("%s is missing: install Debian's unicode-data package (scripts/setup.sh)" % s)
    readings = readings_of(read_fields(sources[0], {"kMandarin", "kHanyuPinyin"}))
    fold = folds_of(read_fields(sources[1], {"kSimplifiedVariant", "kTraditionalVariant"}))

    # Readings of traditional-only characters join their simplified form's.
    merged = {cp: list(r) for cp, r in readings.items()}
    for t, s in sorted(fold.items()):
        for r in readings.get(t, []):
            lst = merged.setdefault(s, [])
            if r not in lst:
                lst.append(r)

    syllables = sorted({s for r in merged.values() for s in r})
    syllable_id = {s: i for i, s in enumerate(syllables)}
    # Distinct reading sets, numbered from 1 (0: no readings).
    set_id = {}
    pool, set_start = [], [0]
    char_set = {}
    for cp in sorted(merged):
        key = tuple(syllable_id[s] for s in merged[cp])
        if key not in set_id:
            set_id[key] = len(set_id) + 1
            pool.extend(key)
            set_start.append(len(pool))
        char_set[cp] = set_id[key]
    if len(set_id) >= 65536 or len(pool) >= 65536 or len(syllables) >= 65536:
        sys.exit("tables outgrew 16-bit indexes")

    dense = []
    for first, end in DENSE_RANGES:
        dense.extend(char_set.get(cp, 0) for cp in range(first, end))
    in_dense = lambda cp: any(first <= cp < end for first, end in DENSE_RANGES)
    sparse = sorted(cp for cp in char_set if not in_dense(cp))
    fold_from = sorted(fold)
    if any(cp > 0x10FFFF for cp in sparse + fold_from):
        sys.exit("code point out of range")

    text = "\0".join(syllables) + "\0"
    starts, at = [], 0
    for s in syllables:
        starts.append(at)
        at += len(s) + 1
    starts.append(at)

    parts = [
        "// Generated by scripts/gen_han_tables.py from the Unihan database (%s); do not edit." %
        ", ".join(os.path.basename(s) for s in sources),
        '#include "lang/han_data.h"',
        "",
        "namespace zd::han::data {",
        "",
        "const char kSyllableText[] = \"%s\";" % text.replace("\0", "\\0"),
        c_array("uint16_t", "kSyllableStart", starts),
        "const size_t kSyllableCount = %d;" % len(syllables),
        c_array("uint16_t", "kSetPool", pool),
        c_array("uint16_t", "kSetStart", set_start),
        "const size_t kSetCount = %d;" % len(set_id),
        "const DenseRange kDenseRanges[] = {%s};" % ", ".join(
            "{%d, %d}" % (first, end) for first, end in DENSE_RANGES),
        "const size_t kDenseRangeCount = %d;" % len(DENSE_RANGES),
        c_array("uint16_t", "kDenseSet", dense),
        c_array("uint16_t", "kSparseLow", (cp & 0xFFFF for cp in sparse)),
        c_array("uint16_t", "kSparsePlane", plane_starts(sparse)),
        c_array("uint16_t", "kSparseSet", (char_set[cp] for cp in sparse)),
        c_array("uint16_t", "kFoldLow", (cp & 0xFFFF for cp in fold_from)),
        c_array("uint16_t", "kFoldPlane", plane_starts(fold_from)),
        c_array("uint32_t", "kFoldTo", (fold[cp] for cp in fold_from), 8),
        "const size_t kCharsWithReadings = %d;" % len(char_set),
        "",
        "}  // namespace zd::han::data",
        "",
    ]
    tmp = out + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(parts))
    os.replace(tmp, out)


if __name__ == "__main__":
    main()
