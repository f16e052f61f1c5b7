#!/usr/bin/env python3
"""Fails when a file of the game includes a folder above its own layer.

From the bottom: util, store, the media layer (gfx and audio, beside each other: neither includes
the other), core, ui, app. Two folders stand beside the layers and include only themselves:
platform (files, folders, locale, signals, memory pages), which every folder but util may use, and
device (the window system's keyboard and display, the sound output), which only the media layer
and those above it may use: the store, and the tools built on it, stay free of the window and
sound libraries.
"""
import re
import sys
from pathlib import Path

RANK = {"util": 0, "store": 1, "gfx": 2, "audio": 2, "core": 3, "ui": 4, "app": 5}
# The lowest rank that may include each folder beside the layers.
BESIDE = {"platform": 1, "device": 2}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def allowed(folder, target):
    if folder == target:
        return True
    if folder in BESIDE:
        return False
    if target in BESIDE:
        return RANK[folder] >= BESIDE[target]
    return target in RANK and RANK[target] < RANK[folder]


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    wrong = []
    for folder in list(RANK) + list(BESIDE):
        for path in sorted((root / folder).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for target in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if target in RANK or target in BESIDE:
                    if not allowed(folder, target):
                        wrong.append(f"{path.relative_to(root)} includes {target}/")
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
