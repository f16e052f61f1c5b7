#!/usr/bin/env python3
"""Checks that a merged data/game.dat holds every member the game reads, in the form it reads it.

Usage: check_config.py GAME_DAT. Prints one line per problem and exits 1 when there is any.
"""
import json
import sys

INTEGERS = ["width", "height", "smallFontSize", "fontSize", "hintCheatCount", "SteamID",
            "nextLevelPerc", "nextHintWords", "blackWords", "blackFinish"]
TEXTS = ["title", "windowMode", "smallFont", "font"]
LANG_MEMBERS = ["long", "native", "natSm", "pic", "dbig", "data", "save"]
SOUNDS = ["buttonClick", "rollover", "wordOk", "wordReject", "wordClick", "statClick", "windowClose", "wordBonus"]
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

    if not isinstance(config, dict):
        return ["the configuration is not an object"]
    for key in INTEGERS:
        need(is_int(config.get(key)), f'"{key}" is not an integer')
    for key in TEXTS:
        need(nonempty_text(config.get(key)), f'"{key}" is not a text')
    if is_int(config.get("width")):
        need(config["width"] > 0, '"width" is not positive')

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
