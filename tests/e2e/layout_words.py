"""Chooses what the keyboard-layout tests type, from the game's own language data.

  layout_words.py plan [--row-holds LETTERS] DATAFILE LETTERS TYPABLE OUTFILE FALLBACK_ROW FALLBACK_WORD...

For every letter of LETTERS a word of a level that holds it and that has only letters of
TYPABLE (those a layout types without dead keys); the levels are chosen so that few cover all
the letters. Prints one line per level: its index, then the words to type there, each holding
at least one of the letters; with --row-holds only levels whose row holds those letters
too count. Letters that no level of the data holds are typed on a level of
the test's own, FALLBACK_ROW with the FALLBACK_WORDs: the data with that level added at the
end is written to OUTFILE (otherwise OUTFILE is not written). The data file may be plain JSON
or zlib-compressed; the written one is plain.

  layout_words.py progress LEVEL OUTFILE

Writes a progress record that continues a game on level LEVEL (0-based) past the first chapter
of the story, so that the main menu's first button opens that level.
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


def raw_json(value):
    # The game's reader keeps texts exactly as written: no escapes.
    return json.dumps(value, ensure_ascii=False)


def plan(path, letters, typable, out, fallback_row, fallback_words, row_holds=""):
    data = load(path)
    levels = list(data["game"].items())
    wanted = set(letters)
    chosen = []
    while wanted:
        best = None
        for index, (row, words) in enumerate(levels):
            if not set(row_holds) <= set(row):
                continue
            picks = {}
            for word in words:
                if set(word) <= set(typable):
                    for letter in wanted & set(word):
                        picks.setdefault(letter, word)
            if picks and (best is None or len(picks) > len(best[1])):
                best = (index, picks)
        if best is None:
            break
        chosen.append((best[0], sorted(set(best[1].values()))))
        wanted -= set(best[1])
    if wanted:
        missing = [w for w in fallback_words if wanted & set(w)]
        if not missing:
            sys.exit("no fallback word holds " + "".join(sorted(wanted)))
        data["game"][fallback_row] = list(fallback_words)
        data["stat"]["levelsCount"] = str(len(levels) + 1)
        chosen.append((len(levels), missing))
        open(out, "w", encoding="utf-8").write(raw_json(data))
    for index, words in chosen:
        print(index, *words)


def progress(level, out):
    # level, levels open, story stage (the first chapter told), hints, words, letters,
    # seconds, window mode, theme, volume
    open(out, "wb").write(struct.pack("<10i", level, level + 1, 1, 0, 0, 0, 0, 0, 0, 0))


def main():
    if sys.argv[1] == "plan":
        args, row_holds = sys.argv[2:], ""
        if args[0] == "--row-holds":
            row_holds, args = args[1], args[2:]
        plan(args[0], args[1], args[2], args[3], args[4], args[5:], row_holds)
    elif sys.argv[1] == "progress":
        progress(int(sys.argv[2]), sys.argv[3])


main()
