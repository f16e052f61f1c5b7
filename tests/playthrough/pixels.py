"""Checks the colours inside a box of a screenshot.

usage: pixels.py SCREENSHOT X0 Y0 X1 Y1 COLOUR...
A COLOUR written R,G,B must cover at least 20 pixels of the box (R,G,B:N: at least N); written
!R,G,B it must not appear there. A pixel matches within 2 per channel. Exits 1 with a reason.
"""
import subprocess
import sys


def main():
    path = sys.argv[1]
    x0, y0, x1, y1 = (int(v) for v in sys.argv[2:6])
    geometry = f"{x1 - x0}x{y1 - y0}+{x0}+{y0}"
    pixels = subprocess.run(["convert", path, "-crop", geometry, "+repage", "rgb:-"],
                            check=True, capture_output=True).stdout
    failures = []
    for spec in sys.argv[6:]:
        absent = spec.startswith("!")
        spec = spec.lstrip("!")
        colour, _, least = spec.partition(":")
        rgb = tuple(int(v) for v in colour.split(","))
        hits = sum(1 for i in range(0, len(pixels) - 2, 3)
                   if max(abs(pixels[i + c] - rgb[c]) for c in range(3)) <= 2)
        if absent and hits:
            failures.append(f"{colour} found {hits} times")
        elif not absent and hits < int(least or 20):
            failures.append(f"{colour} found {hits} times, wanted {least or 20}")
    if failures:
        sys.exit(f"{path} box {geometry}: " + "; ".join(failures))


main()
