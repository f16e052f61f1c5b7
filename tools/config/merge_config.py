#!/usr/bin/env python3
"""Merges the configuration fragments (JSON objects, taken in file-name order) into data/game.dat.

The game's reader keeps texts byte for byte and never decodes escapes, so texts are written
raw: UTF-8, real line feeds, and no double quote or backslash inside a text.
"""
import json
import sys
from pathlib import Path


def raw(value, indent=0):
    pad = "  " * indent
    if isinstance(value, str):
        if '"' in value or "\\" in value:
            raise ValueError(f"text holds a quote or backslash: {value!r}")
        return '"' + value + '"'
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, (int, float)):
        return str(value)
    if isinstance(value, list):
        if all(not isinstance(v, (dict, list)) for v in value):
            return "[" + ", ".join(raw(v) for v in value) + "]"
        return "[\n" + ",\n".join(pad + "  " + raw(v, indent + 1) for v in value) + "\n" + pad + "]"
    if isinstance(value, dict):
        if not value:
            return "{}"
        items = [pad + "  " + raw(k) + ": " + raw(v, indent + 1) for k, v in value.items()]
        return "{\n" + ",\n".join(items) + "\n" + pad + "}"
    raise ValueError(f"unsupported value {value!r}")


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: merge_config.py OUT FRAGMENT...")
    merged = {}
    for name in sorted(sys.argv[2:], key=lambda p: Path(p).name):
        fragment = json.loads(Path(name).read_text(encoding="utf-8"))
        for key, value in fragment.items():
            if key in merged:
                sys.exit(f"{name}: key {key} already given by an earlier fragment")
            merged[key] = value
    out = Path(sys.argv[1])
    tmp = out.with_suffix(".tmp")
    tmp.write_text(raw(merged) + "\n", encoding="utf-8")
    tmp.replace(out)


if __name__ == "__main__":
    main()
