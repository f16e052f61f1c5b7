#!/usr/bin/env python3
"""Writes data/<code>.dat for each language: the texts of content/text/<code>.json
followed by the levels, descriptions, statistics and keyboard map that
build_language makes, zlib-compressed; then the content report and the plot of the
difficulty curve.

The game's reader keeps texts exactly as written (it decodes no escapes), so every
text goes out raw: real line feeds, and no double quote or backslash inside."""
import argparse
import json
import os
import resource
import subprocess
import sys
import tempfile
import time
import zlib
from concurrent.futures import ThreadPoolExecutor

import content_report

# Languages whose word lists take longest to read, slowest first.
SLOW_FIRST = ["pl", "de", "uk", "ru"]


def raw_text(code, key, text):
    if '"' in text or "\\" in text:
        print(f"{code}: text {key} holds a double quote or backslash; written as ” and /", file=sys.stderr)
        text = text.replace('"', "\u201d").replace("\\", "/")
    return text


def localization_members(code, path):
    if not os.path.exists(path):
        sys.exit(f"{code}: the texts file {path} is missing; every language needs one")
    try:
        with open(path, encoding="utf-8") as f:
            texts = json.load(f)["localization"]
    except (ValueError, KeyError, TypeError) as error:
        sys.exit(f"{code}: {path} is not an object with a \"localization\" object ({error})")
    lines = [f'"{raw_text(code, "key", key)}":"{raw_text(code, key, str(value))}"' for key, value in texts.items()]
    return '"localization":{\n' + ",\n".join(lines) + "\n},\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--builder", required=True)
    parser.add_argument("--words", required=True, help="directory of the block lists <code>.txt")
    parser.add_argument("--word-data", required=True, help="directory of the fetched <code>.freq and <code>.block")
    parser.add_argument("--report", required=True, help="the content report to write (Markdown)")
    parser.add_argument("--plot", required=True, help="the plot of the difficulty curve to write (PNG)")
    parser.add_argument("--texts", required=True, help="directory of the texts <code>.json")
    parser.add_argument("--out", required=True, help="the run directory's data/")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("codes", nargs="+")
    args = parser.parse_args()

    started = time.monotonic()
    # Check every language has a recipe and a texts file before the slow part starts.
    if subprocess.run([args.builder, "--known"] + args.codes).returncode != 0:
        sys.exit("language data: every language of the configuration's \"lang\" list needs a recipe")
    texts = {code: localization_members(code, os.path.join(args.texts, code + ".json")) for code in args.codes}
    with tempfile.TemporaryDirectory() as scratch, ThreadPoolExecutor(max_workers=args.jobs) as pool:
        def build(code):
            body = os.path.join(scratch, code + ".body")
            report = os.path.join(scratch, code + ".report")
            command = [args.builder, code, args.word_data, os.path.join(args.words, code + ".txt"), body, report]
            return body, report, subprocess.run(command, stdout=subprocess.PIPE, text=True)

        # The slowest languages start first, so that the jobs end close together.
        order = sorted(args.codes, key=lambda code: SLOW_FIRST.index(code) if code in SLOW_FIRST else len(SLOW_FIRST))
        builds = {code: pool.submit(build, code) for code in order}
        failed = False
        reports = {}
        for code in args.codes:
            body, report, result = builds[code].result()
            print(result.stdout.strip(), flush=True)
            if result.returncode != 0:
                print(f"{code}: building the levels failed", file=sys.stderr)
                failed = True
                continue
            with open(body, "rb") as f:
                data = b"{" + texts[code].encode("utf-8") + f.read() + b"}\n"
            target = os.path.join(args.out, code + ".dat")
            with open(target + ".tmp", "wb") as f:
                f.write(zlib.compress(data, 9))
            os.replace(target + ".tmp", target)
            reports[code] = content_report.read(report)
            reports[code]["data"] = json.loads(data.decode("utf-8"), strict=False)
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    own = resource.getrusage(resource.RUSAGE_SELF)
    cpu = usage.ru_utime + usage.ru_stime + own.ru_utime + own.ru_stime
    content_report.write_report(args.report, reports, cpu, args.words)
    content_report.write_plot(args.plot, reports)
    print(f"language data: {time.monotonic() - started:.1f} s, {cpu:.1f} s of CPU; report in {args.report}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
