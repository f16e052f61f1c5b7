"""Crash test: the game is killed with SIGKILL at random moments while the bot plays, many of the
kills aimed into a save (a close request, then the kill a moment later). After each kill the save
files must hold exactly a state the game saved: the progress record 40 bytes, the level file a
whole JSON array, each either as before or as the save makes it, the record never ahead of the
level file, and no file ever moved aside as unreadable.

  crash_test.py RUN_DIR KILLS [SEED]

The seed is random unless given (or set in WG_CRASH_SEED); it is printed first.
"""
import json
import os
import random
import shutil
import signal
import sys
import tempfile
import time

import bot


def fail(message, game=None):
    print("FAIL: " + message, file=sys.stderr)
    if game:
        print("--- game stderr\n" + game.error_output(), file=sys.stderr)
    sys.exit(1)


def read(path):
    try:
        return open(path, "rb").read()
    except FileNotFoundError:
        return None


def main():
    build_run_dir, kills = sys.argv[1], int(sys.argv[2])
    seed = sys.argv[3] if len(sys.argv) > 3 else os.environ.get("WG_CRASH_SEED")
    seed = int(seed) if seed else random.SystemRandom().randrange(1 << 32)
    print(f"crash test: seed {seed}, {kills} kills", flush=True)
    rng = random.Random(seed)
    display = bot.Display()
    work = tempfile.mkdtemp(prefix="wg-crash.")
    run = bot.prepare_run_dir(build_run_dir, os.path.join(work, "run"), small_data=True)
    save = os.path.join(run, "save")
    levels = list(bot.load_language(os.path.join(run, "data", "en.dat"))["game"].items())
    # The level with the most words to type, so that the bot runs out late.
    level, (row, words) = max(enumerate(levels), key=lambda item: len(bot.typable_words(item[1][1])))
    to_type = bot.typable_words(words)
    level_path = os.path.join(save, bot.level_file(row))
    record_path = os.path.join(save, "progress_en.dat")

    def start_over():
        for name in os.listdir(save):
            os.remove(os.path.join(save, name))
        open(record_path, "wb").write(bot.record(level + 1, level))

    start_over()
    killed = in_save = mid_write = checked = restarts = advanced = 0
    started = time.monotonic()
    while killed < kills:
        before_level = read(level_path)
        before_record = read(record_path)
        found = json.loads(before_level) if before_level else []
        left = [w for w in to_type if w not in found]
        if not left:
            start_over()
            continue
        game = bot.Game(run)
        restarts += 1
        # Most kills come a moment after a close request, which saves: on the main menu (the
        # level's words are saved again) or after words found on the level.
        mode = rng.choice(("menu", "menu", "menu", "play", "play", "any"))
        typed = []
        if mode == "any":
            time.sleep(rng.uniform(0, 2))
        elif mode == "menu":
            if not game.wait_window():
                fail("the game showed no window", game)
            time.sleep(rng.uniform(0, 0.3))
        else:
            menu = game.wait_window() and game.wait_drawn(bot.MENU_PART)
            if not menu:
                fail("the game did not show its menu", game)
            game.click(*bot.MENU_FIRST)
            if not game.wait_change(menu, bot.MENU_PART):
                fail("the menu's first button did not open the game", game)
            for word in rng.sample(left, min(len(left), rng.randint(1, 3))):
                game.type(word)
                typed.append(word)
            # The game takes one key a frame: once the row stands still every word is found,
            # and the close request's save holds them.
            game.wait_drawn(bot.PLAY_PART, pause=0.3)
        if mode != "any":
            game.signal(signal.SIGTERM)
            time.sleep(rng.uniform(0, 0.1 if mode == "menu" else 0.5))
        if game.alive():
            game.process.kill()
            killed += 1
            in_save += mode != "any"
        if game.wait_exit() not in (0, -signal.SIGKILL):
            fail(f"the game ended with {game.process.returncode}", game)

        # What the game can have saved: the level file as before or with the words found since
        # (keys queued behind a close request are never typed), the record as before or counting
        # exactly the words of the level file.
        names = os.listdir(save)
        if any(name.endswith(".bad") for name in names):
            fail(f"a save file was moved aside as unreadable: {names}", game)
        mid_write += any(name.endswith(".tmp") for name in names)
        after_level = read(level_path)
        after_record = read(record_path)
        states = [before_level] + [json.dumps(found + typed[:n], separators=(",", ":")).encode()
                                   for n in range(1, len(typed) + 1)]
        if after_level not in states:
            fail(f"level file {after_level!r}, expected one of {states}", game)
        if after_record is None or len(after_record) != 40:
            fail(f"progress record of {len(after_record or b'')} bytes", game)
        if after_record != before_record:
            old, new = bot.parse_record(before_record), bot.parse_record(after_record)
            now_found = json.loads(after_level) if after_level else []
            if new["wordsFound"] - old["wordsFound"] != len(now_found) - len(found):
                fail(f"the record counts {new['wordsFound']} words, the level file holds "
                     f"{len(now_found)} (before: {old['wordsFound']} and {len(found)})", game)
            if new["levelIndex"] != level:
                fail(f"the record is on level {new['levelIndex']}", game)
        checked += 1
        advanced += after_level != before_level
        if restarts % 25 == 0:
            print(f"  {killed} kills, {time.monotonic() - started:.0f} s", flush=True)
    display.close()
    shutil.rmtree(work)
    print(f"crash test passed: seed {seed}, {killed} kills survived ({in_save} a moment after a "
          f"close request began a save, {mid_write} left a half-written temporary file), "
          f"{checked} save states checked ({advanced} with newly saved words), {restarts} starts, "
          f"{time.monotonic() - started:.0f} s")


main()
