#!/usr/bin/env python3
"""Writes strings 1001-1384 (the 384 lots of 诸葛神数) to resources/strings/lots.txt.

Run from the repository root:

    python3 tools/lots/make_lots.py

Lot k becomes string 1000 + k: "第", k in three Chinese digits with ○ for zero, "签签诗：",
the verse from tools/data/zhuge_lots.json, "解签：" and the explanation from
tools/content/lots/lots*.json. Every string is checked before anything is written.
"""
import json
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
VERSES = ROOT / "tools" / "data" / "zhuge_lots.json"
EXPLANATIONS = sorted((ROOT / "tools" / "content" / "lots").glob("lots*.json"))
OUT = ROOT / "resources" / "strings" / "lots.txt"

LOTS = 384
FIRST_ID = 1001
DIGITS = "○一二三四五六七八九"
SHAPE = re.compile(r"^第[○一二三四五六七八九]{3}签签诗：(?P<verse>.+)解签：(?P<explanation>.+)$")


def lot_title(k):
    return "第" + "".join(DIGITS[int(d)] for d in f"{k:03d}") + "签"


def by_lot(entries, field, source):
    table = {}
    for entry in entries:
        k = entry["lot"]
        if k in table:
            sys.exit(f"{source}: lot {k} appears twice")
        table[k] = entry[field]
    missing = sorted(set(range(1, LOTS + 1)) - set(table))
    extra = sorted(set(table) - set(range(1, LOTS + 1)))
    if missing or extra:
        sys.exit(f"{source}: missing lots {missing}, unknown lots {extra}")
    return table


def problems_of(k, text):
    """Why the string of lot k does not have the shape the lot tool reads; empty when it has."""
    found = []
    match = SHAPE.match(text)
    if not match:
        return ["does not read 第…签签诗：…解签：…"]
    if not text.startswith(lot_title(k)):
        found.append(f"title is not {lot_title(k)}")
    if "解签" in match["verse"]:
        found.append("the verse holds 解签, so the explanation would start too early")
    length = len(match["explanation"])
    if not 20 <= length <= 60:
        found.append(f"explanation has {length} characters (20-60)")
    try:
        gbk = text.encode("gbk")
    except UnicodeEncodeError as e:
        return found + [f"not encodable in GBK: {e}"]
    if gbk[:10].decode("gbk") != lot_title(k):
        found.append("the first 10 GBK bytes are not the title")
    if any(c in text for c in "\t\n\r\\"):
        found.append("holds a tab, a line break or a backslash")
    return found


def main():
    verses = by_lot(json.loads(VERSES.read_text(encoding="utf-8")), "verse", VERSES.name)
    entries = []
    for path in EXPLANATIONS:
        entries += json.loads(path.read_text(encoding="utf-8"))
    explanations = by_lot(entries, "explanation", "tools/content/lots")

    lines = ["# The 384 lots of 诸葛神数: title, verse and explanation (tools/lots/make_lots.py)."]
    failed = False
    for k in range(1, LOTS + 1):
        text = lot_title(k) + "签诗：" + verses[k] + "解签：" + explanations[k]
        for problem in problems_of(k, text):
            print(f"lot {k}: {problem}", file=sys.stderr)
            failed = True
        lines.append(f"{FIRST_ID + k - 1}\t{text}")
    if failed:
        sys.exit("nothing written: fix the lots above first")
    OUT.write_text("\n".join(lines) + "\n", encoding="utf-8")
    print(f"wrote {LOTS} lots to {OUT.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
