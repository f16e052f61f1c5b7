"""Checks a screenshot of the game: it is not blank and it wears the theme's colours.

usage: screen_check.py SCREENSHOT TEXT_RGB BORDER_RGB
The colours are written as R,G,B. The screens' pictures cover the window background, so the
theme shows in its opaque colours: the text and the borders of buttons and panels. Reads the
picture through ImageMagick's raw RGB output; exits 1 with a reason when it fails.
"""
import subprocess
import sys


def share(counts, total):
    return 100.0 * counts / total


def main():
    path = sys.argv[1]
    text, border = (tuple(int(v) for v in arg.split(",")) for arg in sys.argv[2:4])
    pixels = subprocess.run(["convert", path, "rgb:-"], check=True, capture_output=True).stdout
    step = 3 * 3  # every third pixel is plenty
    sampled = text_hits = border_hits = 0
    colours = set()
    for i in range(0, len(pixels) - 2, step):
        pixel = pixels[i:i + 3]
        sampled += 1
        colours.add(pixel)
        if max(abs(pixel[c] - text[c]) for c in range(3)) <= 2:
            text_hits += 1
        if max(abs(pixel[c] - border[c]) for c in range(3)) <= 2:
            border_hits += 1
    if len(colours) < 50:
        sys.exit(f"{path}: looks blank ({len(colours)} colours)")
    if share(text_hits, sampled) < 0.05 or share(border_hits, sampled) < 0.02:
        sys.exit(f"{path}: theme colours missing: text {share(text_hits, sampled):.2f}%, "
                 f"borders {share(border_hits, sampled):.2f}%")
    print(f"{path}: {len(colours)} colours, text {share(text_hits, sampled):.2f}%, "
          f"borders {share(border_hits, sampled):.2f}%")


main()
