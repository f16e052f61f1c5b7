"""check_words.py <language data file> <level> <word>...: what the game does with each word typed
on that level (1-based), read from the built data (build/run/data/<code>.dat): a level word
(counted as it is typed), a bonus word (taken on Enter), refused, or untypeable from the row.
For native players' play-throughs (content/words/<code>.tried)."""
import json
import sys
import zlib

import content_report


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        data = json.loads(zlib.decompress(f.read()).decode("utf-8"), strict=False)
    number = int(sys.argv[2])
    if not 1 <= number <= len(data["game"]):
        sys.exit(f"no level {number}: the data has {len(data['game'])}")
    row, words = list(data["game"].items())[number - 1]
    print(f"level {number}, row {row}: {len(words)} level words")
    for word in sys.argv[3:]:
        print(f"  {word}: {content_report.answer(data, number, word)}")


if __name__ == "__main__":
    main()
