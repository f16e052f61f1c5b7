#!/usr/bin/env python3
"""Copies the shared pieces that a drawing places with <use href="parts/FILE.svg#ID"> into the
drawing itself, so a stylesheet given to the rasteriser colours them too (the rasteriser
styles only the document it was handed, not the files it references).

usage: inline_svg.py IN.svg OUT.svg
"""
import copy
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

SVG = "http://www.w3.org/2000/svg"
XLINK = "http://www.w3.org/1999/xlink"
ET.register_namespace("", SVG)
ET.register_namespace("xlink", XLINK)


def href_of(element):
    return element.get(f"{{{XLINK}}}href") or element.get("href")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source = Path(sys.argv[1])
    tree = ET.parse(source)
    root = tree.getroot()
    parts = {}  # file -> (element by id, defs to carry over)
    used_files = []

    def load(name):
        if name not in parts:
            part_root = ET.parse(source.parent / name).getroot()
            by_id = {e.get("id"): e for e in part_root.iter() if e.get("id")}
            defs = [e for e in part_root.iter() if e.tag in (f"{{{SVG}}}linearGradient", f"{{{SVG}}}radialGradient")]
            parts[name] = (by_id, defs)
            used_files.append(name)
        return parts[name]

    for parent in list(root.iter()):
        for index, use in enumerate(list(parent)):
            if use.tag != f"{{{SVG}}}use":
                continue
            href = href_of(use)
            if not href or "#" not in href or href.startswith("#"):
                continue
            name, ident = href.split("#", 1)
            by_id, _ = load(name)
            if ident not in by_id:
                sys.exit(f"{source}: {href} names no piece")
            piece = copy.deepcopy(by_id[ident])
            piece.attrib.pop("id", None)
            group = ET.Element(f"{{{SVG}}}g")
            transform = use.get("transform", "")
            offset = f"translate({use.get('x', '0')},{use.get('y', '0')})"
            group.set("transform", f"{transform} {offset}".strip())
            for key in ("class", "opacity"):
                if use.get(key):
                    group.set(key, use.get(key))
            group.append(piece)
            parent.remove(use)
            parent.insert(index, group)

    if used_files:
        defs = ET.Element(f"{{{SVG}}}defs")
        for name in used_files:
            for gradient in parts[name][1]:
                defs.append(copy.deepcopy(gradient))
        root.insert(0, defs)
    tree.write(sys.argv[2], encoding="utf-8", xml_declaration=True)


if __name__ == "__main__":
    main()
