#!/usr/bin/env python3
"""Writes the Ukrainian-Russian lemma pairs of Debian's apertium-rus-ukr bilingual
dictionary as "<Ukrainian lemma>\t<Russian lemma>" lines: the level builder gives
Ukrainian words the English of their Russian twin. The dictionary is a compiled
transducer; lt-print dumps it as text (one section after another, each a list of
"from to input output" arcs and of final states), and every path from the start to
a final state is one entry. Names (<np>), abbreviations and numbers are left out."""
import argparse
import os
import subprocess
import sys

DICTIONARY = "/usr/share/apertium/apertium-rus-ukr/ukr-rus.autobil.bin"
SKIPPED_TAGS = ("<np>", "<abbr>", "<num>")


def sections(text):
    arcs, finals = {}, set()
    for line in text.splitlines():
        if line.startswith("--"):
            yield arcs, finals
            arcs, finals = {}, set()
            continue
        fields = line.split("\t")
        if len(fields) >= 4:
            arcs.setdefault(int(fields[0]), []).append((int(fields[1]), fields[2], fields[3]))
        elif fields[0].strip():
            finals.add(int(fields[0]))
    yield arcs, finals


def letter(symbol):
    return "" if symbol in ("ε", "@0@") or symbol.startswith("<") else symbol


def entries(arcs, finals):
    """Every (input letters, output letters, tags) path; a state already on the path is
    not entered again (the any-tag loops)."""
    found = set()
    stack = [(0, "", "", "", frozenset())]
    while stack:
        state, source, target, tags, path = stack.pop()
        if state in finals and source and target:
            found.add((source, target, tags))
        for to, a, b in arcs.get(state, ()):
            if to in path or to == state or (not source and not a.isalpha()):
                continue
            stack.append((to, source + letter(a), target + letter(b),
                          tags + (a if a.startswith("<") else ""), path | {state}))
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        dump = subprocess.run(["lt-print", DICTIONARY], stdout=subprocess.PIPE, check=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError) as error:
        sys.exit(f"russian_pairs: cannot dump {DICTIONARY} ({error}); run scripts/setup.sh")
    pairs = set()
    for arcs, finals in sections(dump):
        for source, target, tags in entries(arcs, finals):
            if not any(tag in tags for tag in SKIPPED_TAGS) and source.isalpha() and target.isalpha():
                pairs.add((source, target))
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out + ".tmp", "w", encoding="utf-8") as f:
        for source, target in sorted(pairs):
            f.write(f"{source}\t{target}\n")
    os.replace(args.out + ".tmp", args.out)


if __name__ == "__main__":
    main()
