#!/usr/bin/env python3
"""Writes data/dat/hzlen.dat, the stroke table used by character casting.

One 4-byte record per GB2312 hanzi slot (rows 0xB0-0xF7, 94 cells each: 6768 records):
bytes 0-1 hold the character's own two GB2312 bytes (a label for people reading the file),
bytes 2-3 the stroke count as a little-endian signed 16-bit number, counted on the
character's traditional form. Slots without a character are all zero.

Sources, both Debian packages:
  unicode-data  /usr/share/unicode/Unihan_IRGSources.txt(.bz2|.zip)  kTotalStrokes
  opencc        the `opencc -c s2t` command, one character per line

Run from the repository root:  python3 tools/hzlen/make_hzlen.py [output]
"""
import bz2
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

UNIHAN_DIR = "/usr/share/unicode"
FIRST_ROW, LAST_ROW = 0xB0, 0xF7
CELLS = 94
RECORDS = (LAST_ROW - FIRST_ROW + 1) * CELLS  # 6768

# OpenCC lists 只 itself first; the counter word 隻 is the form a practitioner counts.
PREFERRED_TRADITIONAL = {"只": "隻"}


def unihan_lines():
    """Lines of the Unihan file that carries kTotalStrokes, whatever form it is shipped in."""
    plain = os.path.join(UNIHAN_DIR, "Unihan_IRGSources.txt")
    if os.path.exists(plain):
        with open(plain, encoding="utf-8") as f:
            yield from f
        return
    if os.path.exists(plain + ".bz2"):
        with bz2.open(plain + ".bz2", "rt", encoding="utf-8") as f:
            yield from f
        return
    archive = os.path.join(UNIHAN_DIR, "Unihan.zip")
    with zipfile.ZipFile(archive) as z:
        with z.open("Unihan_IRGSources.txt") as f:
            for raw in f:
                yield raw.decode("utf-8")


def total_strokes():
    """Code point -> stroke count. Where two counts are given (zh-Hans, then zh-Hant),
    the second one is taken: the table counts traditional forms."""
    counts = {}
    for line in unihan_lines():
        if not line.startswith("U+"):
            continue
        cp, field, value = line.rstrip("\n").split("\t")
        if field != "kTotalStrokes":
            continue
        values = value.split()
        counts[int(cp[2:], 16)] = int(values[-1])
    return counts


def gb2312_slots():
    """(record number, GB2312 bytes, character or None) for every hanzi slot."""
    for row in range(FIRST_ROW, LAST_ROW + 1):
        for cell in range(0xA1, 0xA1 + CELLS):
            raw = bytes([row, cell])
            record = (((row - 0xA0) & 0x7F) - 16) * CELLS + ((cell - 0xA0) & 0x7F) - 1
            try:
                ch = raw.decode("gb2312")
            except UnicodeDecodeError:
                ch = None
            yield record, raw, ch


def traditional_forms(chars):
    """Simplified -> traditional of each single character through the opencc command."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.txt")
        dst = os.path.join(tmp, "out.txt")
        with open(src, "w", encoding="utf-8") as f:
            f.write("\n".join(chars) + "\n")
        subprocess.run(["opencc", "-c", "s2t", "-i", src, "-o", dst], check=True)
        with open(dst, encoding="utf-8") as f:
            converted = f.read().split("\n")[: len(chars)]
    forms = {}
    for simple, trad in zip(chars, converted):
        if len(trad) != 1:
            raise SystemExit(f"opencc gave {trad!r} for {simple}")
        forms[simple] = PREFERRED_TRADITIONAL.get(simple, trad)
    return forms


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else "data/dat/hzlen.dat"
    strokes = total_strokes()
    slots = list(gb2312_slots())
    assert len(slots) == RECORDS
    forms = traditional_forms([ch for _, _, ch in slots if ch])

    table = bytearray(RECORDS * 4)
    counted = changed = missing = 0
    for record, raw, ch in slots:
        assert 0 <= record < RECORDS
        if ch is None:
            continue
        trad = forms[ch]
        count = strokes.get(ord(trad), 0)
        if count == 0:
            missing += 1
            print(f"no stroke count for {ch} ({trad})", file=sys.stderr)
        else:
            counted += 1
        if trad != ch:
            changed += 1
        struct.pack_into("<2sh", table, record * 4, raw, count)

    with open(out_path, "wb") as f:
        f.write(table)
    empty = RECORDS - counted - missing
    print(f"{out_path}: {RECORDS} records, {counted} characters counted, "
          f"{changed} counted on a different traditional form, {missing} without a count, "
          f"{empty} empty slots")


if __name__ == "__main__":
    main()
