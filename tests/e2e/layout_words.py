"""Chooses what the keyboard-layout tests type, from the game's own language data.

  layout_words.py plan [--row-holds LETTERS] DATAFILE LETTERS TYPABLE OUTFILE FALLBACK_ROW FALLBACK_WORD...

For every letter of LETTERS a word of a level that holds it, that has only letters of TYPABLE
(those the test can type on the layout) and that can be typed whole (no word of the level
begins it); the levels are chosen so that few cover all
the letters, and with --row-holds only levels whose row also holds those letters count. Letters
that no level holds are typed on a level of the test's own, FALLBACK_ROW with the FALLBACK_WORDs.
Writes OUTFILE: the language data with those levels alone, in that order, so that one game
walks through them with the level selector. Prints the words to type on each level, one line
per level. The data file may be plain JSON or zlib-compressed; the written one is plain.

  layout_words.py progress LEVELS OUTFILE [LEVEL]

Writes a progress record that continues a game on LEVEL (0-based, the first by default), with
LEVELS levels open and the story's chapters of the first two levels told, so that the main
menu's first button opens the game and the level selector moves on without a story page.
"""
import json
import struct
import sys
import zlib


def load(path):
    data = open(path, "rb").read()
    if data[:1] not in (b"{", b"["):
        data = zlib.decompress(data)
    return json.loads(data.decode("utf-8"), strict=False)


def plan(path, letters, typable, out, fallback_row, fallback_words, row_holds=""):
    data = load(path)
    levels = list(data["game"].items())
    wanted = set(letters)
    chosen = []
    while wanted:
        best = None
        for row, words in levels:
            if not set(row_holds) <= set(row):
                continue
            picks = {}
            for word in words:
                # A word found on the way (при in приют) empties what was typed.
                found_on_the_way = any(word[:n] in words for n in range(1, len(word)))
                if set(word) <= set(typable) and not found_on_the_way:
                    for letter in wanted & set(word):
                        picks.setdefault(letter, word)
            if picks and (best is None or len(picks) > len(best[2])):
                best = (row, words, picks)
        if best is None:
            break
        chosen.append((best[0], best[1], sorted(set(best[2].values()))))
        wanted -= set(best[2])
    if wanted:
        missing = [w for w in fallback_words if wanted & set(w)]
        if not missing:
            sys.exit("no fallback word holds " + "".join(sorted(wanted)))
        chosen.append((fallback_row, list(fallback_words), missing))
    data["game"] = {row: words for row, words, _ in chosen}
    data["stat"]["levelsCount"] = str(len(chosen))
    # The game's reader keeps texts exactly as written: no escapes.
    open(out, "w", encoding="utf-8").write(json.dumps(data, ensure_ascii=False))
    for _, _, typed in chosen:
        print(*typed)


def progress(levels, out, level=0):
    # level, levels open, story stage (step1 told), hints, words, letters, seconds, window mode,
    # theme, volume
    open(out, "wb").write(struct.pack("<10i", level, levels, 2, 0, 0, 0, 0, 0, 0, 0))


def main():
    if sys.argv[1] == "plan":
        args, row_holds = sys.argv[2:], ""
        if args[0] == "--row-holds":
            row_holds, args = args[1], args[2:]
        plan(args[0], args[1], args[2], args[3], args[4], args[5:], row_holds)
    elif sys.argv[1] == "progress":
        progress(int(sys.argv[2]), sys.argv[3], *map(int, sys.argv[4:]))


main()
