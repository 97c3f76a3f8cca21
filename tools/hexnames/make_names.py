#!/usr/bin/env python3
"""Writes string 700 (the 64 hexagram names in palace order, each padded with blanks to
8 GBK bytes) to resources/strings/hexagram_names.txt.

Run from the repository root:  python3 tools/hexnames/make_names.py tools/data/zhouyi.json
"""
import json
import sys

TRIGRAMS = "乾兑离震巽坎艮坤"
IMAGES = "天泽火雷风水山地"


def trigram_lines(t):
    """Lines of trigram t bottom first, 1 = yang (derived from v = 7 - t, top line = bit 0)."""
    v = 7 - t
    return [(v >> 2) & 1, (v >> 1) & 1, v & 1]


def palace_members(p):
    lines = trigram_lines(p) * 2
    members = [list(lines)]
    for k in range(5):
        lines[k] ^= 1
        members.append(list(lines))
    lines[3] ^= 1
    members.append(list(lines))
    members.append(trigram_lines(p) + lines[3:])
    return members


def trigram_of(lines3):
    for t in range(8):
        if trigram_lines(t) == lines3:
            return t
    raise ValueError(lines3)


def main():
    data = json.load(open(sys.argv[1], encoding="utf-8"))
    by_trigrams = {(h["upper"], h["lower"]): h["name"] for h in data}
    names = []
    for p in range(8):
        for lines in palace_members(p):
            lower, upper = trigram_of(lines[:3]), trigram_of(lines[3:])
            if lower == upper:
                name = TRIGRAMS[upper] + "为" + IMAGES[upper]
            else:
                name = IMAGES[upper] + IMAGES[lower] + by_trigrams[(TRIGRAMS[upper], TRIGRAMS[lower])]
            width = len(name.encode("gbk"))
            assert width <= 8, name
            names.append(name + " " * (8 - width))
    assert len(set(names)) == 64
    with open("resources/strings/hexagram_names.txt", "w", encoding="utf-8") as out:
        out.write("# The 64 hexagram names in palace order, 8 GBK bytes each (tools/hexnames).\n")
        out.write("700\t" + "".join(names) + "\n")


if __name__ == "__main__":
    main()
