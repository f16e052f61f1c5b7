"""The content report (Markdown) and the plot of the difficulty curve (PNG), from the
report files build_language writes:

  level <n> <row> <median rank> <word>:<rank>:<kind> ...   kind d: described in the
                                                           language, t: labelled
                                                           translation, -: none
  blocked <count>
  checked <n> <row> <word count>
  missing <n> <word> <rank> <why>
  refused <word> <rank> <why>                              the most used words blocked on purpose"""
import os
import random
import struct
import zlib
from collections import Counter

EARLY_LEVELS = 30
EARLY_MAX_RANK = 3000
SAMPLE_SIZE = 100
VERDICTS = ("junk", "right", "wrong", "weak", "none", "English only")
# Refusals that are no common word a level lacks: frequency-list tokens the dictionaries
# do not spell so (names, abbreviations, other languages' words), English lines of the
# subtitles and words blocked on purpose.
NOT_WORDS = ("not spelled so in the dictionaries", "no vowel, or a cry", "an English word", "blocked",
             "marked vulgar by a dictionary")


def read(path):
    data = {"levels": [], "blocked": 0, "checked": [], "missing": [], "refused": []}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "level":
                words = []
                for item in fields[4:]:
                    word, rank, kind = item.rsplit(":", 2)
                    words.append((word, int(rank), kind))
                data["levels"].append({"number": int(fields[1]), "row": fields[2],
                                       "median": int(fields[3]), "words": words})
            elif fields[0] == "blocked":
                data["blocked"] = int(fields[1])
            elif fields[0] == "checked":
                data["checked"].append((int(fields[1]), fields[2], int(fields[3])))
            elif fields[0] == "refused":
                data["refused"].append((fields[1], int(fields[2]), fields[3]))
            elif fields[0] == "missing":
                data["missing"].append((int(fields[1]), fields[2], int(fields[3]), fields[4]))
    return data


def summary(code, data):
    levels = data["levels"]
    distinct = {}
    for level in levels:
        for word, rank, kind in level["words"]:
            distinct[word] = (rank, kind, level["number"])
    early_rare = sorted({w for level in levels[:EARLY_LEVELS] for w, rank, _ in level["words"] if rank > EARLY_MAX_RANK})
    checked_words = sum(count for _, _, count in data["checked"])
    missing = data["missing"]
    unblocked = [m for m in missing if m[3] not in NOT_WORDS]
    kinds = [kind for rank, kind, _ in distinct.values()]
    share = lambda n: 100.0 * n / max(1, len(kinds))
    return {
        "code": code, "levels": len(levels), "distinct": distinct, "early_rare": early_rare,
        "missing_share": 100.0 * len(unblocked) / max(1, checked_words + len(unblocked)),
        "missing_all": len(missing), "missing_unblocked": len(unblocked), "checked_words": checked_words,
        "own": share(kinds.count("d")), "translated": share(kinds.count("t")),
    }


def shown_words(data):
    """Each level word as the row types it, mapped to the word the game lists and describes."""
    fold = data.get("fold", {})
    shown = {}
    for words in data["game"].values():
        for word in words:
            shown["".join(fold.get(letter, letter) for letter in word)] = word
    return shown


def typed(data, word):
    """A word as a row types it: lower case, with the letters the rows write plainly folded."""
    fold = data.get("fold", {})
    return "".join(fold.get(letter, letter) for letter in word.lower())


def answer(data, number, word):
    """What the game does with a word typed on level `number` (1-based): "level word", "bonus"
    (taken on Enter), "refused", or "untypeable" when the row lacks its letters."""
    row, words = list(data["game"].items())[number - 1]
    key = typed(data, word)
    if Counter(key) - Counter(typed(data, row)):
        return "untypeable"
    if key in {typed(data, w) for w in words}:
        return "level word"
    return "bonus" if key in {typed(data, w) for w in data.get("bonus", {}).get(row, [])} else "refused"


def read_tried(path):
    """Native players' play-through: level, its row when they played it, the words they tried."""
    tried = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if len(fields) == 3 and not line.startswith("#"):
                    tried.append((int(fields[0]), fields[1], fields[2].split()))
    return tried


def play_through(data, tried):
    """The everyday words native players tried on the first levels, each as the game answers it
    now; a level whose row has changed since they played it is left out."""
    result = {"levels": 0, "tried": 0, "level word": [], "bonus": [], "refused": [], "changed": []}
    rows = list(data["game"])
    for number, row, words in tried:
        if number > len(rows) or Counter(typed(data, rows[number - 1])) != Counter(typed(data, row)):
            result["changed"].append(number)
            continue
        result["levels"] += 1
        for word in words:
            outcome = answer(data, number, word)
            if outcome != "untypeable":
                result["tried"] += 1
                result[outcome].append(f"{word} (L{number})")
    return result


def read_reviews(path):
    """The native readers' verdicts on the last judged samples: code, seed, then the counts."""
    reviews = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if len(fields) == 2 + len(VERDICTS) and not line.startswith("#"):
                    reviews[fields[0]] = fields[1:]
    return reviews


def description_sample(code, data, seed):
    """A fresh random sample of level words as a player sees them: word, level, description."""
    shown = shown_words(data)
    first_level = {}
    for number, words in enumerate(data["game"].values(), 1):
        for word in words:
            first_level.setdefault(word, number)
    spelled = data.get("spelled", {})
    words = sorted(set(shown.values()))
    sample = sorted(random.Random(f"{seed}/{code}").sample(words, min(SAMPLE_SIZE, len(words))))
    out = [f"Descriptions of {len(sample)} random level words (seed {seed}), as the word info shows "
           "them, for a native reader to judge:", "", "| word | level | description | verdict |",
           "|---|---|---|---|"]
    for word in sample:
        text = data["descr"].get(word, "")
        out.append(f"| {spelled.get(word, word)} | {first_level[word]} | {text or '(none)'} | |")
    return out + [""]


def write_report(path, reports, cpu_seconds, words_path):
    # The description sample is fresh in every build unless WG_SAMPLE_SEED repeats one.
    seed = int(os.environ.get("WG_SAMPLE_SEED") or random.SystemRandom().randrange(1 << 31))
    random.seed(20261208)
    out = ["# Content report", "",
           "Written by the content build. Junk is not counted by the build: a person judges the random sample "
           "of 100 level words printed for each language below. Missing common words: in 20 random levels, "
           "every word of the top 20 000 of the frequency list that the row makes but the level lacks. The share "
           "counts only words that pass the dictionaries' spelling gate and are not blocked; the tokens the "
           "dictionaries do not spell so (names, abbreviations, foreign words), English words of the subtitles "
           "and the blocked words are listed apart for each level, uncounted.", "",
           "Everyday words not listed: the words native players tried on levels 1-30 (`<code>.tried`, a "
           "source apart from the frequency list), each answered as the game answers it now: taken on Enter "
           "as a bonus word, or refused.", "",
           "| language | levels | distinct words | blocked words | levels 1-30 words past rank 3000 | "
           "common words missing | everyday words not listed (bonus, refused) | described in the language | "
           "labelled translations |",
           "|---|---|---|---|---|---|---|---|---|"]
    summaries = {code: summary(code, data) for code, data in reports.items()}
    plays = {code: play_through(data["data"], read_tried(os.path.join(words_path, code + ".tried")))
             for code, data in reports.items()}
    for code, s in summaries.items():
        p = plays[code]
        out.append(f"| {code} | {s['levels']} | {len(s['distinct'])} | {reports[code]['blocked']} | "
                   f"{len(s['early_rare'])} | {s['missing_share']:.1f} % ({s['missing_unblocked']} of "
                   f"{s['checked_words'] + s['missing_unblocked']}) | {len(p['bonus']) + len(p['refused'])} of "
                   f"{p['tried']} in {p['levels']} levels ({len(p['bonus'])}, {len(p['refused'])}) | "
                   f"{s['own']:.0f} % | {s['translated']:.0f} % |")
    out += ["", f"CPU time of the language build (all languages): {cpu_seconds:.1f} s", ""]
    reviews = read_reviews(os.path.join(words_path, "review.tsv"))
    if reviews:
        out += ["Native readers' verdicts on the last samples of 100 level words they judged, word by "
                "word (each with its seed; the samples below are fresh ones, for the next reader):", "",
                "| language | seed | " + " | ".join(VERDICTS) + " |", "|---" * (2 + len(VERDICTS)) + "|"]
        out += [f"| {code} | " + " | ".join(fields) + " |" for code, fields in reviews.items()]
        out.append("")
    for code, data in reports.items():
        s = summaries[code]
        out += [f"## {code}", ""]
        if s["early_rare"]:
            out.append("Levels 1-30 words past rank 3000: " + ", ".join(s["early_rare"]))
            out.append("")
        words = sorted(s["distinct"])
        sample = sorted(random.sample(words, min(SAMPLE_SIZE, len(words))))
        out += description_sample(code, data["data"], seed)
        out.append("Sample of level words (rank in the frequency list, level):")
        out.append("")
        out.append(", ".join(f"{w} ({s['distinct'][w][0]}, L{s['distinct'][w][2]})" for w in sample))
        out.append("")
        if data["refused"]:
            out.append("The most used words kept out on purpose (rank, why):")
            out.append("")
            out.append(", ".join(f"{w} ({rank}, {why})" for w, rank, why in sorted(data["refused"], key=lambda r: r[1])))
            out.append("")
        out.append("Three random levels:")
        out.append("")
        for level in sorted(random.sample(data["levels"], 3), key=lambda l: l["number"]):
            out.append(f"- L{level['number']} `{level['row']}`: " + ", ".join(w for w, _, _ in level["words"]))
        out.append("")
        p = plays[code]
        out.append(f"Native play-through of levels 1-30: {p['tried']} everyday words tried, "
                   f"{len(p['level word'])} level words; bonus: {', '.join(p['bonus']) or 'none'}; "
                   f"refused: {', '.join(p['refused']) or 'none'}" +
                   (f"; rows changed since played (not counted): {p['changed']}" if p["changed"] else ""))
        out.append("")
        out.append("Common words some rows make but their levels lack:")
        out.append("")
        for number, row, count in data["checked"]:
            lacking = [f"{w} ({rank}, {why})" for n, w, rank, why in data["missing"] if n == number and why not in NOT_WORDS]
            out.append(f"- L{number} `{row}` ({count} words): " + (", ".join(lacking) if lacking else "none"))
        out.append("")
        out.append("Not counted: tokens of the frequency list those rows make that are no level word by design:")
        out.append("")
        for number, row, count in data["checked"]:
            apart = [f"{w} ({rank}, {why})" for n, w, rank, why in data["missing"] if n == number and why in NOT_WORDS]
            if apart:
                out.append(f"- L{number} `{row}`: " + ", ".join(apart))
        out.append("")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


# A 3x5 pixel font for the plot's labels: each glyph is five rows of three bits.
GLYPHS = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111", "3": "111001111001111",
    "4": "101101111001001", "5": "111100111001111", "6": "111100111101111", "7": "111001001001001",
    "8": "111101111101111", "9": "111101111001111", "A": "010101111101101", "D": "110101101101110",
    "E": "111100110100111", "F": "111100110100100", "G": "111100101101111", "H": "101101111101101",
    "I": "111010010010111", "K": "101101110101101", "L": "100100100100111", "M": "101111111101101",
    "N": "110101101101101", "O": "111101101101111", "P": "111101111100100", "R": "110101110101101",
    "S": "111100111001111", "T": "111010010010010", "U": "101101101101111", "W": "101101111111101",
    " ": "000000000000000", ":": "000010000010000",
}


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(b"\xff" * (width * height * 3))

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = (y * self.width + x) * 3
            self.pixels[i:i + 3] = bytes(colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for k in range(steps + 1):
            self.dot(round(x0 + (x1 - x0) * k / steps), round(y0 + (y1 - y0) * k / steps), colour)

    def text(self, x, y, text, colour=(0, 0, 0), scale=2):
        for ch in text.upper():
            bits = GLYPHS.get(ch, GLYPHS[" "])
            for row in range(5):
                for col in range(3):
                    if bits[row * 3 + col] == "1":
                        for dy in range(scale):
                            for dx in range(scale):
                                self.dot(x + col * scale + dx, y + row * scale + dy, colour)
            x += 4 * scale

    def png(self, path):
        raw = b"".join(b"\x00" + bytes(self.pixels[y * self.width * 3:(y + 1) * self.width * 3])
                       for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_plot(path, reports):
    """One row of three charts per language: row length, word count and median word
    rank, each against the level number, with its largest value written at its top."""
    chart_w, chart_h, margin, label_w, top = 360, 110, 14, 60, 30
    series = [("LETTERS", lambda l: len(l["row"])), ("WORDS", lambda l: len(l["words"])),
              ("MEDIAN RANK", lambda l: l["median"])]
    canvas = Canvas(label_w + len(series) * (chart_w + margin), top + len(reports) * (chart_h + margin))
    for c, (name, _) in enumerate(series):
        canvas.text(label_w + c * (chart_w + margin), 8, name)
    colour = (30, 90, 200)
    for r, (code, data) in enumerate(reports.items()):
        y0 = top + r * (chart_h + margin)
        canvas.text(8, y0 + chart_h // 2 - 5, code)
        levels = data["levels"]
        for c, (_, value) in enumerate(series):
            x0 = label_w + c * (chart_w + margin)
            values = [value(level) for level in levels]
            peak = max(values) if values else 1
            for x in range(chart_w):
                canvas.dot(x0 + x, y0 + chart_h - 1, (150, 150, 150))
            for y in range(chart_h):
                canvas.dot(x0, y0 + y, (150, 150, 150))
            previous = None
            for i, v in enumerate(values):
                point = (x0 + 1 + i * (chart_w - 2) // max(1, len(values) - 1),
                         y0 + chart_h - 2 - round((chart_h - 14) * v / peak))
                if previous:
                    canvas.line(*previous, *point, colour)
                previous = point
            canvas.text(x0 + 4, y0, str(peak), (90, 90, 90))
    canvas.png(path)
