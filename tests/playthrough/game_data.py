"""Reads what the play-through needs from the game's files.

  game_data.py level DATAFILE INDEX        the level's letter row, then its words, one a line
  game_data.py busiest DATAFILE            the index and word count of the level whose words
                                           have the most different lengths (then the most words)
  game_data.py keys DATAFILE WORD          the keys that type WORD through the language's
                                           "charmap", as xdotool key names, one a line
  game_data.py progress PROGRESSFILE       the ten fields of a progress file, space-separated
  game_data.py found LEVELFILE             the words of a level file, one a line
  game_data.py write-progress PATH F0..F9  writes a progress file of those ten fields
  game_data.py write-found DATAFILE INDEX COUNT
                                           writes the level file of level INDEX with its first
                                           COUNT words found (in save/, named by its row)
"""
import json
import struct
import sys
import zlib

XDOTOOL_NAMES = {"[": "bracketleft", "]": "bracketright", ";": "semicolon", "'": "apostrophe",
                 ",": "comma", ".": "period", "`": "grave", "\\": "backslash", "/": "slash"}


def load(path):
    data = open(path, "rb").read()
    if data[:1] not in (b"{", b"["):
        data = zlib.decompress(data)
    return json.loads(data.decode("utf-8"), strict=False)


def main():
    command, path = sys.argv[1], sys.argv[2]
    if command == "level":
        levels = load(path)["game"]
        row = list(levels)[int(sys.argv[3])]
        print(row)
        print("\n".join(levels[row]))
    elif command == "busiest":
        levels = load(path)["game"]
        ranked = sorted((len({len(w) for w in words}), len(words), -i)
                        for i, words in enumerate(levels.values()))
        _, count, index = ranked[-1]
        print(-index, count)
    elif command == "keys":
        typed_by = {letter: key for key, letter in load(path).get("charmap", {}).items()}
        for letter in sys.argv[3]:
            key = typed_by.get(letter, letter)
            print(XDOTOOL_NAMES.get(key, key))
    elif command == "progress":
        data = open(path, "rb").read()
        print(*struct.unpack("<10i", data))
    elif command == "found":
        print("\n".join(json.loads(open(path, encoding="utf-8").read(), strict=False)))
    elif command == "write-progress":
        open(path, "wb").write(struct.pack("<10i", *(int(v) for v in sys.argv[3:13])))
    elif command == "write-found":
        levels = load(path)["game"]
        row = list(levels)[int(sys.argv[3])]
        words = levels[row][:int(sys.argv[4])]
        name = "save/" + row.encode("utf-8").hex() + ".sav"
        open(name, "w", encoding="utf-8").write(json.dumps(words, ensure_ascii=False))


main()
