#!/usr/bin/env python3
"""Writes the shipped text data files of data/dat from their UTF-8 sources here.

    python3 tools/content/make_dat.py

meihy.ini -> data/dat/meihy.dat and zazhan.txt -> data/dat/zazhan.txt, both GBK with the
line breaks of the source. Each source is checked first (check.py); nothing is written
when a check fails.
"""
import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
DAT = HERE.parent.parent / "data" / "dat"
FILES = [("meihy", "meihy.ini", "meihy.dat"), ("zazhan", "zazhan.txt", "zazhan.txt")]


def main():
    for kind, source, _ in FILES:
        if subprocess.run([sys.executable, str(HERE / "check.py"), kind, str(HERE / source)]).returncode:
            sys.exit(f"{source}: fix the problems above first")
    for _, source, target in FILES:
        text = (HERE / source).read_text(encoding="utf-8")
        (DAT / target).write_bytes(text.encode("gbk"))
        print(f"wrote {DAT / target}")


if __name__ == "__main__":
    main()
