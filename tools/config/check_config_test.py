#!/usr/bin/env python3
"""The configuration checker reads the game's own tables of keys and names what is wrong.

Usage: check_config_test.py GAME_DAT (the merged configuration the build made).
"""
import json
import sys

import check_config


def main():
    with open(sys.argv[1], encoding="utf-8") as file:
        shipped = json.loads(file.read(), strict=False)
    failures = []
    if check_config.check(shipped):
        failures.append(f"the shipped configuration has problems: {check_config.check(shipped)}")
    # Every key of the game's tables is checked: dropping any one of them is a problem.
    for key, _, _ in check_config.INTEGERS:
        broken = dict(shipped)
        del broken[key]
        if f'"{key}" is not an integer' not in check_config.check(broken):
            failures.append(f'dropping "{key}" went unnoticed')
    broken = dict(shipped, nextLevelPerc=150, title=7)
    broken["sounds"] = {k: v for k, v in shipped["sounds"].items() if k != "wordBonus"}
    expected = ['"nextLevelPerc" is 150, outside 0 to 100', '"title" is not a text',
                '"sounds" has no file for "wordBonus"']
    problems = check_config.check(broken)
    failures += [f"not said: {line} (said {problems})" for line in expected if line not in problems]
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
