"""Soak run: the bot plays one game for a long time, switching through every language in turn,
and watches the game's resident memory. It fails when the game ends or says anything on standard
error beyond the audio driver's notice, or when its memory after the second round through the
languages has grown more than 10 % over the first round's; it prints the memory curve.

  soak.py RUN_DIR SECONDS SWITCH_SECONDS [SEED]
"""
import os
import random
import shutil
import sys
import time

import bot

LANGUAGE_ROW = (640, 99)  # the first row of the language screen; the rows are 74 apart
HOME = (53, 55)           # the in-game screen's main-menu icon
OPTIONS = (185, 513)      # the main menu's second button
LANGUAGE = (730, 407)     # the language row of the options screen


def resident_kib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


# Left of the middle, low: every screen on the way looks different there (the menu's buttons, the
# options' empty side, the language flags, the level's found words), and none moves by itself.
PART = (360, 260, 0, 380)


def step(game, what, action):
    """Does action and waits until the screen has changed."""
    before = bot.picture(PART)
    action()
    if not game.wait_change(before, PART):
        if os.environ.get("WG_SOAK_SHOTS"):
            os.system(f"import -window root {os.environ['WG_SOAK_SHOTS']}/failed.png")
        game.process.kill()
        sys.exit(f"FAIL: the screen did not change after {what}\n" + game.error_output())
    time.sleep(0.5)  # the new screen's first frames


def main():
    build_run_dir, seconds, switch_seconds = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.SystemRandom().randrange(1 << 32)
    print(f"soak: seed {seed}, {seconds:.0f} s, a language every {switch_seconds:.0f} s", flush=True)
    rng = random.Random(seed)
    display = bot.Display()
    work = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"wg-soak.{os.getpid()}")
    run = bot.prepare_run_dir(build_run_dir, work)
    languages = bot.load_language_list(run)
    # Every language continues a game whose story has begun, so Continue opens the level.
    for language in languages:
        open(os.path.join(run, "save", language["save"]), "wb").write(bot.record(1))

    game = bot.Game(run)
    if not game.wait_window() or not game.wait_drawn():
        sys.exit("FAIL: the game did not show its menu")
    started = time.monotonic()
    curve = []
    switches = 0
    current = 0
    while time.monotonic() - started < seconds:
        # Into the level of the current language; play until the next switch.
        step(game, "Continue", lambda: game.click(*bot.MENU_FIRST))
        words = bot.typable_words(bot.first_level_words(run, languages[current]))
        until = time.monotonic() + switch_seconds
        while time.monotonic() < until and game.alive():
            action = rng.random()
            if action < 0.6 and words and languages[current]["alphabet_ascii"]:
                game.type(rng.choice(words))
            elif action < 0.8:
                game.type(rng.choice("qxz"))  # a miss
                game.key("Delete")
            else:
                time.sleep(1)
        if not game.alive():
            break
        # To the next language through the menus, each step once the screen before it is up.
        current = (current + 1) % len(languages)
        step(game, "the home icon", lambda: game.click(*HOME))
        step(game, "Options", lambda: game.click(*OPTIONS))
        step(game, "Language", lambda: game.click(*LANGUAGE))
        step(game, "a language", lambda: game.click(LANGUAGE_ROW[0], LANGUAGE_ROW[1] + 74 * current))
        switches += 1
        if os.environ.get("WG_SOAK_SHOTS"):
            os.system(f"import -window root {os.environ['WG_SOAK_SHOTS']}/switch{switches}.png")
        curve.append((round(time.monotonic() - started), switches, resident_kib(game.process.pid)))
        print(f"  {curve[-1][0]:5d} s  switch {switches:3d}  {languages[current]['long']:10s} "
              f"resident {curve[-1][2] / 1024:.1f} MiB", flush=True)

    alive = game.alive()
    game.signal(15)
    status = game.wait_exit()
    errors = [line for line in game.error_output().splitlines()
              if line.strip() and "disk i/o audio" not in line and "Writing to file" not in line]
    display.close()
    if not alive or status != 0:
        sys.exit(f"FAIL: the game ended during the run (status {status})\n" + game.error_output())
    if errors:
        sys.exit("FAIL: the game reported errors:\n" + "\n".join(errors))
    n = len(languages)
    if len(curve) >= 2 * n:
        first, last = curve[n - 1][2], curve[-1][2]
        growth = (last - first) / first
        print(f"resident memory after the first round through the languages {first / 1024:.1f} MiB, "
              f"at the end {last / 1024:.1f} MiB ({growth:+.1%})")
        if growth > 0.10:
            sys.exit("FAIL: resident memory grew more than 10 %")
    else:
        print(f"only {len(curve)} switches: too few to compare two rounds of {n} languages")
    shutil.rmtree(work)
    print(f"soak passed: seed {seed}, {switches} language switches")


main()
