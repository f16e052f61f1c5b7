#!/usr/bin/env python3
"""Fails when a program that needs no window or sound device still needs their libraries.

The store's tests and the content tools run where there is no display or sound device (a build
machine, the data build): a window, GL or sound library among their NEEDED entries ties them to
one, and tells that a module below the devices links them. Each argument is a built ELF program.
"""
import re
import subprocess
import sys

DEVICE_LIBRARIES = ("libglfw", "libSDL2", "libGL", "libOpenGL", "libX11")
NEEDED = re.compile(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]")


def needed(program):
    dynamic = subprocess.run(["readelf", "--dynamic", "--wide", program], capture_output=True,
                             text=True, check=True)
    return NEEDED.findall(dynamic.stdout)


def main():
    wrong = []
    for program in sys.argv[1:]:
        for library in needed(program):
            if library.startswith(DEVICE_LIBRARIES):
                wrong.append(f"{program} needs {library}")
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
