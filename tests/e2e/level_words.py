"""Prints, for level LEVEL (0-based) of a language data file, its save file name and up to COUNT
of its words that can be typed whole (no shorter word of the level begins them), one line:
NAME WORD...

  level_words.py DATAFILE LEVEL COUNT
"""
import json
import sys
import zlib

data = open(sys.argv[1], "rb").read()
if data[:1] not in (b"{", b"["):
    data = zlib.decompress(data)
row, words = list(json.loads(data.decode("utf-8"), strict=False)["game"].items())[int(sys.argv[2])]
whole = [w for w in words if w.isascii() and not any(w[:n] in words for n in range(1, len(w)))]
print(row.encode("utf-8").hex() + ".sav", *whole[: int(sys.argv[3])])
