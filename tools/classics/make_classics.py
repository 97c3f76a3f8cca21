#!/usr/bin/env python3
"""Writes the string-table sources of the classic texts, in palace order:

  resources/strings/zhouyi.txt            100-547 the Zhou Yi (judgement t 彖 x 大象; line x 小象),
                                          51 用九 and 52 用六
  resources/strings/coin.txt              1401-1464 the coin-lesson verse, "\\r\\n", its grade
  resources/strings/classics_written.txt  1501-1564 explanations, 1600-1663 vernacular of the
                                          judgement and lines, 1700-1763 notes on the 彖,
                                          1800-1863 notes on the 大象

Inputs: tools/data/zhouyi.json, tools/data/coin_verses.json (public texts, King Wen order) and
tools/content/classics/kw*.json (the project's own texts, King Wen order). King Wen order is
mapped to palace order through the name table (string 700, resources/strings/hexagram_names.txt)
and the trigram names and images of src/vocab/Hexagram.h.

Run from the repository root:
  python3 tools/classics/make_classics.py           # check the inputs and write the three files
  python3 tools/classics/make_classics.py --check   # check only; exit 1 when a file is stale
"""
import glob
import json
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
sys.dont_write_bytecode = True  # keep tools/content free of __pycache__
import check as content_check  # noqa: E402  (the style-sheet checker of the written texts)

HEXAGRAM_TEXT_MARK = "t"  # judgement t 彖 x 大象
COMMENTARY_MARK = "x"  # text x 象
JUDGEMENT_LABEL = "卦辞："
EXTRA_IDS = {1: 51, 2: 52}  # King Wen 乾 and 坤: 用九, 用六

problems = []


def fail(message):
    problems.append(message)


def read_vocabulary():
    """Trigram names and images in palace order, as src/vocab/Hexagram.h spells them."""
    header = open(os.path.join(ROOT, "src", "vocab", "Hexagram.h"), encoding="utf-8").read()

    def array(name):
        m = re.search(name + r"\s*=\s*\{([^}]*)\}", header)
        return re.findall(r'"([^"]+)"', m.group(1))

    names, images = array("kTrigramNames"), array("kTrigramImages")
    assert len(names) == 8 and len(images) == 8, "trigram tables of Hexagram.h not found"
    return names, images


def read_name_table():
    """The 64 names of string 700 in palace order, trimmed (8 GBK bytes each)."""
    path = os.path.join(ROOT, "resources", "strings", "hexagram_names.txt")
    for line in open(path, encoding="utf-8"):
        if line.startswith("700\t"):
            raw = line.rstrip("\n").split("\t", 1)[1].encode("gbk")
            assert len(raw) == 64 * 8, "string 700 is not 64 entries of 8 bytes"
            return [raw[i * 8:(i + 1) * 8].decode("gbk").strip(" ") for i in range(64)]
    raise SystemExit("string 700 not found in " + path)


def trigrams_of_name(name, rank, trigram_names, images):
    """(upper, lower) trigram names of a palace-order name: a pure hexagram (rank 1) reads its
    last character twice, every other its first two characters."""
    pair = (name[-1], name[-1]) if rank == 1 else (name[0], name[1])
    return tuple(trigram_names[images.index(ch)] for ch in pair)


def load_json(path):
    return json.load(open(path, encoding="utf-8"))


def by_number(items, what):
    out = {}
    for item in items:
        n = item.get("number")
        if n in out:
            fail(f"{what}: number {n} twice")
        out[n] = item
    if sorted(out) != list(range(1, 65)):
        fail(f"{what}: numbers are not 1-64")
    return out


def check_plain(where, text):
    """A text that goes into the table: non-empty, GBK, no marker letter, nothing to escape."""
    if not isinstance(text, str) or not text:
        fail(f"{where}: empty")
        return
    try:
        text.encode("gbk")
    except UnicodeEncodeError:
        fail(f"{where}: not GBK-encodable")
    for mark in (HEXAGRAM_TEXT_MARK, COMMENTARY_MARK):
        if mark in text:
            fail(f"{where}: holds the marker letter {mark!r}")
    if any(ord(ch) < 32 or ch == "\\" for ch in text):
        fail(f"{where}: holds a control character or a backslash")


def line_name(position, yang):
    """初九 … 上六: position first for lines 1 and 6, the number first for lines 2 to 5."""
    place = "初二三四五上"[position - 1]
    number = "九" if yang else "六"
    return place + number if position in (1, 6) else number + place


def trigram_lines(index):
    """Lines of a trigram, bottom first, True for yang (from 7 - index, top line = bit 0)."""
    v = 7 - index
    return [bool(v >> 2 & 1), bool(v >> 1 & 1), bool(v & 1)]


def check_classic(h, trigram_names):
    w = f"zhouyi #{h['number']} {h['name']}"
    for key in ("judgement", "tuan", "xiang"):
        check_plain(f"{w} {key}", h.get(key))
    if not h.get("tuan", "").startswith("彖曰：") or not h.get("xiang", "").startswith("象曰："):
        fail(f"{w}: 彖 must begin 彖曰： and 象 象曰：")
    lines = h.get("lines", [])
    if len(lines) != 6:
        fail(f"{w}: {len(lines)} lines, want 6")
        return
    yang = trigram_lines(trigram_names.index(h["lower"])) + trigram_lines(trigram_names.index(h["upper"]))
    for k, line in enumerate(lines, 1):
        check_plain(f"{w} line {k}", line.get("text"))
        check_plain(f"{w} line {k} 象", line.get("xiang"))
        if line.get("name") != line_name(k, yang[k - 1]):
            fail(f"{w} line {k}: named {line.get('name')}, the lines say {line_name(k, yang[k - 1])}")
    if ("extra" in h) != (h["number"] in EXTRA_IDS):
        fail(f"{w}: only 乾 and 坤 have 用九/用六")


def palace_order(zhouyi, coins, trigram_names, images):
    """For each palace-order number 1-64: (table name, zhouyi entry, coin entry)."""
    classic_by_trigrams = {(h["upper"], h["lower"]): h for h in zhouyi}
    coin_by_trigrams = {(c["upper"], c["lower"]): c for c in coins}
    if len(classic_by_trigrams) != 64 or len(coin_by_trigrams) != 64:
        fail("zhouyi.json and coin_verses.json must hold 64 distinct trigram pairs each")
    order = []
    for i, name in enumerate(read_name_table()):
        pair = trigrams_of_name(name, i % 8 + 1, trigram_names, images)
        classic, coin = classic_by_trigrams.get(pair), coin_by_trigrams.get(pair)
        if classic is None or coin is None:
            fail(f"palace #{i + 1} {name}: no text for trigrams {pair}")
            continue
        short = classic["name"]
        if not (name.endswith(short) or (pair[0] == pair[1] and name.startswith(short))):
            fail(f"palace #{i + 1} {name}: the classic calls it {short}")
        if coin["name"] != name:
            fail(f"palace #{i + 1} {name}: the coin lesson calls it {coin['name']}")
        order.append((name, classic, coin))
    return order


def classic_texts(n, classic):
    """(id, text) of hexagram n's seven ancient texts."""
    base = 93 + 7 * n
    out = [(base, classic["judgement"] + HEXAGRAM_TEXT_MARK + classic["tuan"] + COMMENTARY_MARK + classic["xiang"])]
    for k, line in enumerate(classic["lines"], 1):
        out.append((base + k, line["text"] + COMMENTARY_MARK + line["xiang"]))
    return out


def extra_text(extra):
    # Shown after "★" like a line, so it carries its own name the way lines are named there.
    return extra["name"] + ":" + extra["text"] + COMMENTARY_MARK + extra["xiang"]


def vernacular(classic, written):
    """String 1599+n: one labelled paragraph per text, "\\r\\n" between."""
    paragraphs = [JUDGEMENT_LABEL + written["judgement"]]
    for line, text in zip(classic["lines"], written["lines"]):
        paragraphs.append(line["name"] + "：" + text)
    if "extra" in classic:
        paragraphs.append(classic["extra"]["name"] + "：" + written["extra"])
    return "\r\n".join(paragraphs)


def check_markers(entries):
    for id_, text in entries:
        t, x = text.count(HEXAGRAM_TEXT_MARK), text.count(COMMENTARY_MARK)
        is_hexagram = 100 <= id_ <= 547 and (id_ - 93) % 7 == 0
        if is_hexagram and not (t == 1 and x == 1 and text.index("t") < text.index("x")):
            fail(f"string {id_}: want one t before one x")
        if not is_hexagram and not (t == 0 and x == 1):
            fail(f"string {id_}: want one x and no t")


def escape(text):
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")


def source_text(comment, entries):
    lines = ["# " + c for c in comment]
    lines += [f"{id_}\t{escape(text)}" for id_, text in entries]
    return "\n".join(lines) + "\n"


def build():
    trigram_names, images = read_vocabulary()
    zhouyi = load_json(os.path.join(ROOT, "tools", "data", "zhouyi.json"))
    coins = load_json(os.path.join(ROOT, "tools", "data", "coin_verses.json"))
    written_files = sorted(glob.glob(os.path.join(ROOT, "tools", "content", "classics", "kw*.json")))
    written = by_number([h for f in written_files for h in load_json(f)], "classics content")
    by_number(zhouyi, "zhouyi.json")
    if len(coins) != 64:
        fail(f"coin_verses.json: {len(coins)} entries, want 64")
    for f in written_files:
        content_check.check_classics(f)
    problems.extend(content_check.problems)
    for h in zhouyi:
        check_classic(h, trigram_names)
    for c in coins:
        check_plain(f"coin {c['name']} verse", c.get("verse"))
        check_plain(f"coin {c['name']} grade", c.get("grade"))
    if problems:
        return None

    ancient, coin, explanations, vern, tuan, xiang = [], [], [], [], [], []
    for n, (name, classic, verse) in enumerate(palace_order(zhouyi, coins, trigram_names, images), 1):
        own = written.get(classic["number"])
        if own["name"] != classic["name"]:
            fail(f"content #{classic['number']} is {own['name']}, the classic {classic['name']}")
        ancient += classic_texts(n, classic)
        if "extra" in classic:
            ancient.append((EXTRA_IDS[classic["number"]], extra_text(classic["extra"])))
        coin.append((1400 + n, verse["verse"] + "\r\n" + verse["grade"]))
        explanations.append((1500 + n, own["explanation"]))
        vern.append((1599 + n, vernacular(classic, own)))
        tuan.append((1699 + n, own["tuan"]))
        xiang.append((1799 + n, own["xiang"]))
    check_markers(ancient)
    if problems:
        return None
    ancient.sort()
    note = "Generated by tools/classics/make_classics.py; do not edit."
    return {
        "zhouyi.txt": source_text(
            ["The Zhou Yi in palace order: 93+7n judgement t 彖 x 大象; 93+7n+k line k x 小象;",
             "51 用九, 52 用六. " + note], ancient),
        "coin.txt": source_text(["The 64 coin lesson: 1400+n the verse, a line break, the grade. " + note], coin),
        "classics_written.txt": source_text(
            ["Explanations 1500+n, vernacular of the judgement and lines 1599+n, notes on the 彖",
             "1699+n and on the 大象 1799+n, in palace order. " + note],
            explanations + vern + tuan + xiang),
    }


def main():
    check_only = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check_only:
        sys.exit(__doc__)
    outputs = build()
    for p in problems:
        print(p, file=sys.stderr)
    if outputs is None:
        sys.exit(f"{len(problems)} problem(s); nothing written")
    stale = []
    for name, text in outputs.items():
        path = os.path.join(ROOT, "resources", "strings", name)
        current = open(path, encoding="utf-8", newline="").read() if os.path.exists(path) else None
        if current == text:
            continue
        stale.append(name)
        if not check_only:
            with open(path, "w", encoding="utf-8", newline="\n") as out:
                out.write(text)
    if check_only and stale:
        sys.exit("out of date: " + ", ".join(stale))
    print(("checked" if check_only else "written") + ": " + ", ".join(outputs))


if __name__ == "__main__":
    main()
