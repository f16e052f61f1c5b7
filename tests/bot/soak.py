"""Soak run: the bot plays one game for a long time as a person would (words typed and missed,
hints, word descriptions, statistics, the other open level, a theme and a volume chosen in the
options on the way to the next language), switching through every language in turn. At the end it
leaves through the menu's Exit, checks that the save files hold what it did, starts the game again
and checks that it continues there.

It fails when the game ends by itself or says anything on standard error beyond the audio driver's
notice, when its resident memory in the last round through the languages has grown more than
MAX_GROWTH (10 % unless given) over the round after the first, warm-up round (the median of each;
the run plays without music), when the save files differ from what the bot did, or, given
MAX_SLOWDOWN, when the in-game screen's cost in the last minute exceeds the first minute's by more
than that share. It prints the memory curve and that cost: the main thread's CPU time per second
while the in-game screen stands still (its frames are built and compared with the one on screen,
not drawn again).

  soak.py RUN_DIR SECONDS SWITCH_SECONDS [--max-growth SHARE] [--max-slowdown SHARE] [--seed SEED]
"""
import argparse
import json
import os
import random
import shutil
import statistics
import sys
import time

import bot

# Left of the middle, low: every screen on the way looks different there (the menu's buttons, the
# options' empty side, the language flags, the level's found words), and none moves by itself.
PART = (360, 260, 0, 380)
# Right of the options' labels, where the theme list opens.
OPTIONS_PART = (200, 280, 634, 300)
# The in-game screen's letter row: another level shows another row.
ROW_PART = (1240, 50, 20, 568)
THEMES = 6
# The in-game screen is watched for its cost at the start of each stay, a tenth of the stay
# (3 to 10 s); the first and the last minute of what is watched are compared.
MINUTE = 60


def resident_kib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def fail(message, game=None):
    if os.environ.get("WG_SOAK_SHOTS"):
        os.system(f"import -window root {os.environ['WG_SOAK_SHOTS']}/failed.png")
    if game:
        message += "\n--- game stderr\n" + game.error_output()
        if game.alive():
            game.process.kill()
    sys.exit("FAIL: " + message)


def step(game, what, place, part=PART):
    """Clicks place and waits until the screen has changed."""
    if not game.clicked_away(place, part, 60):
        fail(f"the screen did not change after {what}", game)
    time.sleep(0.5)  # the new screen's first frames


def main_thread_cpu_ns(pid):
    """The CPU time of the process's main thread, from the scheduler (nanoseconds)."""
    return int(open(f"/proc/{pid}/schedstat").read().split()[0])


class StillScreenCost:
    """The main thread's CPU milliseconds per second while a screen stands still."""

    def __init__(self):
        self.samples = []  # ms of CPU per second, one a second

    def watch(self, pid, seconds):
        try:
            # The first second may hold frames of the screen before.
            time.sleep(1)
            before = main_thread_cpu_ns(pid)
            for _ in range(int(seconds) - 1):
                time.sleep(1)
                now = main_thread_cpu_ns(pid)
                self.samples.append((now - before) / 1e6)
                before = now
        except (FileNotFoundError, ProcessLookupError):
            pass  # the game ended; the caller sees it

    def minute(self, first):
        """The median of the first or last minute of samples (of half of them in a run too short
        for two minutes)."""
        if not self.samples:
            return None
        count = min(MINUTE, max(1, len(self.samples) // 2))
        chosen = self.samples[:count] if first else self.samples[-count:]
        return statistics.median(chosen)


class Player:
    """What the bot did, per language and level, to compare with the save files."""

    def __init__(self, run, languages, rng):
        self.run, self.languages, self.rng = run, languages, rng
        self.levels = {lang["save"]: list(bot.load_language(lang["file"])["game"].items())
                       for lang in languages}
        self.found = {}         # (language code, level index) -> words found
        self.level = {lang["save"]: 0 for lang in languages}
        self.theme = {}         # language code -> theme chosen while it was the game's language
        self.volume_set = set()
        self.hints = 0

    def play(self, game, language, until):
        code = language["save"]
        while time.monotonic() < until and game.alive():
            level = self.level[code]
            row, words = self.levels[code][level]
            found = self.found.setdefault((code, level), set())
            action = self.rng.random()
            if action < 0.5 and language["alphabet_ascii"]:
                typable = bot.typable_words(words)
                if typable:
                    word = self.rng.choice(typable)
                    game.type(word)
                    if word in found:
                        game.key("Delete")  # a word found before stays typed, highlighted
                    found.add(word)
            elif action < 0.6:
                game.type(self.rng.choice("qxz"))  # a miss
                game.key("Delete")
            # The game takes a key a frame: a person looks at the row before clicking elsewhere.
            if action < 0.6:
                game.wait_drawn(bot.PLAY_PART, pause=0.3)
            elif action < 0.68:
                # A hint shows a word's description, when one is earned and words are left.
                if game.clicked_away(bot.HINT, PART, 3):
                    self.hints += 1
                    time.sleep(0.5)
                    step(game, "Back from a hint", bot.BACK_LOW)
            elif action < 0.75 and found:
                step(game, "a found word", bot.FIRST_FOUND_WORD)
                step(game, "Back from a word", bot.BACK_LOW)
            elif action < 0.82:
                step(game, "the statistics icon", bot.STATISTICS)
                step(game, "Back from the statistics", bot.BACK_STATISTICS)
            elif action < 0.86:
                self.level[code] = 1 - level
                game.click(*bot.LEVEL_NUMBER)
                time.sleep(0.3)
                game.type(str(2 - level))
                before = bot.picture(ROW_PART)
                game.key("Return")
                if not game.wait_change(before, ROW_PART):
                    fail(f"level {2 - level} was typed into the selector but not shown", game)
                time.sleep(0.5)
            else:
                time.sleep(1)

    def options_on_the_way(self, game, language):
        """A theme and a volume for the language being left, chosen in the options."""
        if self.rng.random() < 0.5:
            theme = self.rng.randrange(THEMES)
            step(game, "Theme", bot.OPTIONS_THEME, OPTIONS_PART)
            game.click(*bot.swatch(theme))
            time.sleep(0.8)
            self.theme[language["save"]] = theme
        if self.rng.random() < 0.5:
            game.click(self.rng.randrange(540, 720), bot.OPTIONS_VOLUME_Y)
            time.sleep(0.5)
            self.volume_set.add(language["save"])

    def check_saves(self):
        """The save files hold what the bot did in every language."""
        save = os.path.join(self.run, "save")
        for language in self.languages:
            code = language["save"]
            record = bot.parse_record(open(os.path.join(save, language["save"]), "rb").read())
            words = 0
            for level in (0, 1):
                found = sorted(self.found.get((code, level), ()))
                path = os.path.join(save, bot.level_file(self.levels[code][level][0]))
                saved = sorted(json.loads(open(path, "rb").read())) if os.path.exists(path) else []
                if saved != found:
                    return f"{code} level {level + 1}: saved {saved}, found {found}"
                words += len(found)
            expected = {"levelIndex": self.level[code], "wordsFound": words}
            if code in self.theme:
                expected["theme"] = self.theme[code]
            for field, value in expected.items():
                if record[field] != value:
                    return f"{code}: the record's {field} is {record[field]}, expected {value}"
            if code in self.volume_set and not 0 <= record["volume"] < 100:
                return f"{code}: the volume set on the slider was saved as {record['volume']}"
        return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("run_dir")
    parser.add_argument("seconds", type=float)
    parser.add_argument("switch_seconds", type=float)
    parser.add_argument("--max-growth", type=float, default=0.10)
    parser.add_argument("--max-slowdown", type=float)
    parser.add_argument("--seed", type=int, default=random.SystemRandom().randrange(1 << 32))
    args = parser.parse_args()
    print(f"soak: seed {args.seed}, {args.seconds:.0f} s, a language every "
          f"{args.switch_seconds:.0f} s", flush=True)
    rng = random.Random(args.seed)
    display = bot.Display()
    work = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"wg-soak.{os.getpid()}")
    run = bot.prepare_run_dir(args.run_dir, os.path.join(work, "run"))
    # The music thread holds the playing track and the next one decoded whole, tens of MiB each
    # and of different lengths: readings would swing by a track. The soak plays without music, so
    # that its memory curve shows what the game itself keeps.
    config_path = os.path.join(run, "data", "game.dat")
    config = json.loads(open(config_path, encoding="utf-8").read(), strict=False)
    config["music"] = {name: [] for name in config.get("music", {})}
    os.remove(config_path)
    with open(config_path, "w", encoding="utf-8") as out:
        json.dump(config, out, ensure_ascii=False)
    languages = bot.load_language_list(run)
    # Every language continues a game whose story has begun, with two levels open, so Continue
    # opens the level and the other level tells no chapter.
    for language in languages:
        open(os.path.join(run, "save", language["save"]), "wb").write(bot.record(2))
    player = Player(run, languages, rng)
    still = StillScreenCost()

    game = bot.Game(run)
    if not game.wait_window() or not game.wait_drawn():
        fail("the game did not show its menu", game)
    started = time.monotonic()
    curve = []
    switches = 0
    current = 0
    while time.monotonic() - started < args.seconds:
        step(game, "Continue", bot.MENU_FIRST)
        until = time.monotonic() + args.switch_seconds
        still.watch(game.process.pid, min(10, max(3, args.switch_seconds / 10)))
        player.play(game, languages[current], until)
        if not game.alive():
            break
        # To the next language through the menus, each step once the screen before it is up.
        step(game, "the home icon", bot.HOME)
        step(game, "Options", bot.MENU_OPTIONS)
        player.options_on_the_way(game, languages[current])
        current = (current + 1) % len(languages)
        step(game, "Language", bot.OPTIONS_LANGUAGE)
        step(game, "a language", (bot.LANGUAGE_ROW[0], bot.LANGUAGE_ROW[1] + 74 * current))
        switches += 1
        if os.environ.get("WG_SOAK_SHOTS"):
            os.system(f"import -window root {os.environ['WG_SOAK_SHOTS']}/switch{switches}.png")
        curve.append((round(time.monotonic() - started), switches, resident_kib(game.process.pid)))
        print(f"  {curve[-1][0]:5d} s  switch {switches:3d}  {languages[current]['long']:10s} "
              f"resident {curve[-1][2] / 1024:.1f} MiB", flush=True)

    # Leave through the menu, as a player does, and look at what was saved.
    if game.alive():
        game.click(*bot.MENU_EXIT)
    status = game.wait_exit()
    errors = [line for line in game.error_output().splitlines()
              if line.strip() and "disk i/o audio" not in line and "Writing to file" not in line]
    if status != 0:
        fail(f"the game ended during the run or at Exit (status {status})", game)
    if errors:
        fail("the game reported errors:\n" + "\n".join(errors))
    mismatch = player.check_saves()
    if mismatch:
        fail("the save files differ from the play: " + mismatch)

    # A second start continues in the last language, on its level.
    record_path = os.path.join(run, "save", languages[current]["save"])
    saved_record = open(record_path, "rb").read()
    game = bot.Game(run)
    if not game.wait_window() or not game.wait_drawn():
        fail("the game did not show its menu when started again", game)
    step(game, "Continue after the restart", bot.MENU_FIRST)
    game.click(*bot.HOME)
    time.sleep(0.5)
    game.click(*bot.MENU_EXIT)
    if game.wait_exit() != 0:
        fail("the restarted game did not end cleanly", game)
    again = bot.parse_record(open(record_path, "rb").read())
    before = bot.parse_record(saved_record)
    for field in ("levelIndex", "wordsFound", "hintsUsed", "theme", "volume"):
        if again[field] != before[field]:
            fail(f"after the restart the record's {field} is {again[field]}, was {before[field]}")
    display.close()

    # A round's median, so that one reading caught mid-load does not decide. The first round
    # warms up (every language, screen and picture met once; the next round starts one step
    # higher, then stays flat), so the round after it is the reference when the run has one.
    n = len(languages)
    if len(curve) >= 2 * n:
        start = n if len(curve) >= 3 * n else 0
        first = statistics.median(kib for _, _, kib in curve[start:start + n])
        last = statistics.median(kib for _, _, kib in curve[-n:])
        growth = (last - first) / first
        print(f"resident memory, median of a round through the languages: round "
              f"{start // n + 1} {first / 1024:.1f} MiB, last round {last / 1024:.1f} MiB "
              f"({growth:+.1%})")
        if growth > args.max_growth:
            fail(f"resident memory grew more than {args.max_growth:.0%}")
    else:
        print(f"only {len(curve)} switches: too few to compare two rounds of {n} languages")
    first, last = still.minute(True), still.minute(False)
    if first and last:
        slowdown = last / first - 1
        print(f"still in-game screen, main thread's CPU per second: first minute {first:.1f} ms, "
              f"last minute {last:.1f} ms ({slowdown:+.1%}; {len(still.samples)} one-second "
              f"samples)")
        if args.max_slowdown is not None and slowdown > args.max_slowdown:
            fail(f"the still in-game screen's cost grew more than {args.max_slowdown:.0%}")
    shutil.rmtree(work)
    print(f"soak passed: seed {args.seed}, {switches} language switches, {player.hints} hints, "
          f"{sum(map(len, player.found.values()))} words found and saved in "
          f"{len(player.found)} levels, the save files checked after Exit and a restart")


main()
