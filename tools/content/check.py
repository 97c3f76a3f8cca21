#!/usr/bin/env python3
"""Checks a content file written for Qingheng against the style sheet.

usage: check.py classics FILE.json | lots FILE.json | meihy FILE.ini | zazhan FILE.txt
Prints every problem; exits 1 when there is one.
"""
import json
import re
import sys

problems = []
ALLOWED_PUNCT = set("，。；：！？、“”（）「」《》…—·")
TRIGRAM_SECTIONS = ["乾卦", "兑卦", "离卦", "震卦", "巽卦", "坎卦", "艮卦", "坤卦"]
TRIGRAM_KEYS = ["家宅", "婚姻", "求名", "生产", "疾病", "交易", "官讼", "出行"]
PHRASE_SECTIONS = ["天气", "求财", "求官", "学业", "婚姻", "词讼", "房屋", "病伤", "行人", "六神", "杂项"]


def text_ok(where, text, lo, hi, need_stop=True):
    if not isinstance(text, str) or not text:
        problems.append(f"{where}: empty or not a string")
        return
    try:
        text.encode("gbk")
    except UnicodeEncodeError as e:
        problems.append(f"{where}: not GBK-encodable near {text[max(0, e.start - 3):e.end + 3]!r}")
    for ch in text:
        if ord(ch) < 128:
            problems.append(f"{where}: ASCII character {ch!r} (use full-width punctuation, Chinese numbers)")
            break
        if not ('\u4e00' <= ch <= '\u9fff' or ch in ALLOWED_PUNCT or ch in "撝餗纆繻○"):
            problems.append(f"{where}: unexpected character {ch!r}")
            break
    if not (lo <= len(text) <= hi):
        problems.append(f"{where}: {len(text)} characters, want {lo}-{hi}")
    if need_stop and text[-1] not in "。！？”」":
        problems.append(f"{where}: should end with a full stop")


def check_classics(path):
    data = json.load(open(path, encoding="utf-8"))
    for h in data:
        n = h.get("number")
        w = f"#{n} {h.get('name')}"
        text_ok(w + " explanation", h.get("explanation"), 60, 150)
        text_ok(w + " judgement", h.get("judgement"), 15, 150)
        lines = h.get("lines")
        if not isinstance(lines, list) or len(lines) != 6:
            problems.append(w + ": lines must be a list of six texts, bottom line first")
        else:
            for i, t in enumerate(lines, 1):
                text_ok(f"{w} line {i}", t, 12, 120)
        if n in (1, 2):
            text_ok(w + " extra", h.get("extra"), 12, 120)
        elif "extra" in h:
            problems.append(w + ": only 乾 and 坤 have extra")
        text_ok(w + " tuan", h.get("tuan"), 50, 300)
        text_ok(w + " xiang", h.get("xiang"), 25, 150)
        extra_keys = set(h) - {"number", "name", "explanation", "judgement", "lines", "extra", "tuan", "xiang"}
        if extra_keys:
            problems.append(f"{w}: unknown keys {sorted(extra_keys)}")


def check_lots(path):
    data = json.load(open(path, encoding="utf-8"))
    seen = set()
    for item in data:
        k = item.get("lot")
        if k in seen:
            problems.append(f"lot {k}: twice")
        seen.add(k)
        text_ok(f"lot {k}", item.get("explanation"), 20, 60)
        if "解签" in item.get("explanation", ""):
            problems.append(f"lot {k}: must not contain 解签")


def parse_ini(path):
    sections, current = {}, None
    for no, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith(";"):
            continue
        m = re.fullmatch(r"\[(.+)\]", line)
        if m:
            current = sections.setdefault(m.group(1), {})
            continue
        if current is None or "=" not in line:
            problems.append(f"line {no}: not a key=value line inside a section")
            continue
        key, value = line.split("=", 1)
        if key in current:
            problems.append(f"line {no}: key {key} twice")
        current[key] = value
    return sections


def check_meihy(path):
    first = open(path, encoding="utf-8").readline()
    if not first.startswith(";"):
        problems.append("line 1 should be a comment saying what the file is")
    s = parse_ini(path)
    for sec in TRIGRAM_SECTIONS:
        for key in TRIGRAM_KEYS:
            text_ok(f"[{sec}] {key}", s.get(sec, {}).get(key), 15, 40)
        extra = set(s.get(sec, {})) - set(TRIGRAM_KEYS)
        if extra:
            problems.append(f"[{sec}]: unknown keys {sorted(extra)}")
    for sec in PHRASE_SECTIONS:
        body = s.get(sec, {})
        tol = body.get("tol", "")
        if not tol.isdigit() or not 15 <= int(tol) <= 30:
            problems.append(f"[{sec}] tol={tol!r}, want 15-30")
            continue
        for i in range(1, int(tol) + 1):
            text_ok(f"[{sec}] {i}", body.get(str(i)), 6, 40, need_stop=False)
        extra = set(body) - {"tol"} - {str(i) for i in range(1, int(tol) + 1)}
        if extra:
            problems.append(f"[{sec}]: keys beyond tol {sorted(extra)}")
    unknown = set(s) - set(TRIGRAM_SECTIONS) - set(PHRASE_SECTIONS)
    if unknown:
        problems.append(f"unknown sections {sorted(unknown)}")


def check_zazhan(path):
    lines = open(path, encoding="utf-8").read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    names = lines[0].split(",")
    if names[-1] != "":
        problems.append("line 1 must end with a comma")
    names = names[:-1]
    if len(names) < 12 or any(not n for n in names):
        problems.append(f"line 1: {len(names)} categories, want at least 12 non-empty")
    i = 1
    found = []
    while i < len(lines):
        m = re.fullmatch(r"\[(.+)\]", lines[i])
        if not m or m.group(1) == "end":
            problems.append(f"line {i + 1}: expected a section header, got {lines[i]!r}")
            i += 1
            continue
        name, i, count = m.group(1), i + 1, 0
        found.append(name)
        while i < len(lines) and lines[i] != "[end]":
            text_ok(f"[{name}] line {i + 1}", lines[i], 8, 90)
            count += 1
            i += 1
        if i >= len(lines):
            problems.append(f"[{name}] has no [end]")
        if count < 6:
            problems.append(f"[{name}]: only {count} lines")
        i += 1
    if found != names:
        problems.append(f"sections {found} do not match line 1 {names}")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    kind, path = sys.argv[1], sys.argv[2]
    {"classics": check_classics, "lots": check_lots, "meihy": check_meihy, "zazhan": check_zazhan}[kind](path)
    for p in problems:
        print(p)
    print(f"{len(problems)} problem(s)")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
