#!/usr/bin/env python3
"""Checks that a merged data/game.dat holds every member the game reads, in the form it reads it.

Usage: check_config.py GAME_DAT. Prints one line per problem and exits 1 when there is any.
"""
import json
import os
import re
import sys

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def source_rows(path, pattern):
    """The rows of one of the game's own tables in its source file, in their order."""
    with open(os.path.join(SOURCE, path), encoding="utf-8") as file:
        return re.findall(pattern, file.read())


# The single values the game reads (store/config.h), each with its range; the shipped file gives
# every one, also those the game has a default for.
LARGEST = {"kLargest": str(2**31 - 1)}
INTEGERS = [(key, int(LARGEST.get(low, low)), int(LARGEST.get(high, high)))
            for key, low, high in source_rows(
                "store/config.h", r'\{"(\w+)", &Settings::\w+, (-?\w+), (-?\w+), -?\w+\}')]
TEXTS = source_rows("store/config.h", r'\{"(\w+)", &Settings::\w+, (?:true|false)\}')
SOUNDS = source_rows("audio/sounds.h", r'\{SoundSlot::\w+, "(\w+)"\}')
LANG_MEMBERS = ["long", "native", "natSm", "pic", "dbig", "data", "save"]
ICONS = ["home", "stat", "statBack", "helpEnabled", "helpDisabled", "removeChar", "removeWord"]
DECORATIONS = ["inGame", "inGameDark", "langSelect", "langSelectDark", "mainMenu", "mainMenuDark",
               "stat", "statDark", "about", "aboutDark", "help"]
STORY_PAGES = {"study": 3, "step1": 2, "blackStart": 3, "blackEnd": 3}
PAGE_MEMBERS = ["image", "leftPad", "rightPad", "text"]


def is_int(value):
    return isinstance(value, int) and not isinstance(value, bool)


def nonempty_text(value):
    return isinstance(value, str) and value != ""


def check(config):
    problems = []

    def need(ok, message):
        if not ok:
            problems.append(message)
        return ok

    if not isinstance(config, dict):
        return ["the configuration is not an object"]
    if not INTEGERS or not TEXTS or not SOUNDS:
        return ["the game's tables of keys were not found in its source"]
    for key, lowest, highest in INTEGERS:
        value = config.get(key)
        if need(is_int(value), f'"{key}" is not an integer'):
            need(lowest <= value <= highest, f'"{key}" is {value}, outside {lowest} to {highest}')
    for key in TEXTS:
        need(nonempty_text(config.get(key)), f'"{key}" is not a text')

    langs = config.get("lang")
    need(isinstance(langs, list) and langs, '"lang" is not a non-empty array')
    for i, entry in enumerate(langs if isinstance(langs, list) else []):
        for key in LANG_MEMBERS:
            need(isinstance(entry, dict) and nonempty_text(entry.get(key)),
                 f'"lang" entry {i} has no text "{key}"')

    for section, keys in (("sounds", SOUNDS), ("icons", ICONS)):
        members = config.get(section)
        need(isinstance(members, dict), f'"{section}" is not an object')
        for key in keys:
            need(isinstance(members, dict) and nonempty_text(members.get(key)),
                 f'"{section}" has no file for "{key}"')

    music = config.get("music")
    playlist = music.get("normal") if isinstance(music, dict) else None
    need(isinstance(playlist, list) and playlist and all(nonempty_text(t) for t in playlist),
         '"music" has no "normal" playlist of file names')

    images = config.get("images")
    need(isinstance(images, dict), '"images" is not an object')
    images = images if isinstance(images, dict) else {}
    story = config.get("story")
    need(isinstance(story, dict), '"story" is not an object')
    story = story if isinstance(story, dict) else {}
    page_images = []
    for chapter, count in STORY_PAGES.items():
        pages = story.get(chapter)
        need(isinstance(pages, list) and len(pages) == count,
             f'"story" chapter "{chapter}" does not have {count} pages')
        for i, page in enumerate(pages if isinstance(pages, list) else []):
            for key in PAGE_MEMBERS:
                need(isinstance(page, dict) and key in page,
                     f'"story" chapter "{chapter}" page {i} has no "{key}"')
            if isinstance(page, dict) and nonempty_text(page.get("image")):
                page_images.append(page["image"])
    for key in DECORATIONS + page_images:
        placements = images.get(key)
        need(isinstance(placements, list) and placements
             and all(isinstance(p, dict) and nonempty_text(p.get("file")) for p in placements),
             f'"images" has no placements with a "file" for "{key}"')
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_config.py GAME_DAT")
    with open(sys.argv[1], encoding="utf-8") as file:
        # Texts hold raw line feeds, which strict JSON does not allow.
        config = json.loads(file.read(), strict=False)
    problems = check(config)
    for problem in problems:
        print(f"{sys.argv[1]}: {problem}")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
