#!/usr/bin/env python3
"""Fails when a file of the game includes a folder above its own layer.

From the bottom: util, store, the media layer (gfx and audio, beside each other: neither includes
the other), core, ui, app; platform sits beside the bottom (it includes only itself, and every
folder but util may use it).
"""
import re
import sys
from pathlib import Path

RANK = {"util": 0, "store": 1, "gfx": 2, "audio": 2, "core": 3, "ui": 4, "app": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def allowed(folder, target):
    if folder == target:
        return True
    if folder == "platform":
        return False
    if target == "platform":
        return folder != "util"
    return target in RANK and RANK[target] < RANK[folder]


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    wrong = []
    for folder in list(RANK) + ["platform"]:
        for path in sorted((root / folder).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for target in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if target in RANK or target == "platform":
                    if not allowed(folder, target):
                        wrong.append(f"{path.relative_to(root)} includes {target}/")
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
