"""A player for end-to-end tests: runs the real game in an X server of its own and plays it
through xdotool as a person would, from the words of the language's data file.

Used by the crash test (crash_test.py) and the soak run (soak.py).
"""
import atexit
import hashlib
import json
import os
import struct
import subprocess
import tempfile
import time
import zlib

# Places on the 1280 x 720 screens (window coordinates).
MENU_FIRST = (185, 439)       # the main menu's first button: Continue once the story has begun
MENU_OPTIONS = (185, 513)
MENU_EXIT = (185, 661)
OPTIONS_THEME = (734, 259)
OPTIONS_VOLUME_Y = 333        # the volume slider's row, from 0 at the left to 100 at the right
OPTIONS_LANGUAGE = (734, 407)
LANGUAGE_ROW = (640, 99)      # the first row of the language screen; the rows are 74 apart
HOME = (53, 55)               # the in-game screen's icons: main menu, statistics, hint
STATISTICS = (124, 55)
HINT = (53, 667)
LEVEL_NUMBER = (1190, 55)     # the level selector's number, typed into
FIRST_FOUND_WORD = (170, 123)
BACK_LOW = (640, 673)         # back from the word description
BACK_STATISTICS = (640, 677)
# Right of the menu's buttons: drawn once the first frame is on screen.
MENU_PART = (400, 260, 800, 100)
# The in-game screen's found words and letter row: still once every typed key is taken.
PLAY_PART = (1240, 540, 20, 90)
RECORD_FIELDS = ("levelIndex", "levelsOpen", "storyStage", "hintsUsed", "wordsFound",
                 "lettersFound", "secondsPlayed", "windowModeNumber", "theme", "volume")


def load_language(path):
    data = open(path, "rb").read()
    if data[:1] not in (b"{", b"["):
        data = zlib.decompress(data)
    return json.loads(data.decode("utf-8"), strict=False)


def load_language_list(run_dir):
    """The configuration's languages, each with the data file the game reads for it and whether
    its alphabet is typed with plain Latin keys."""
    config = json.loads(open(os.path.join(run_dir, "data", "game.dat"), encoding="utf-8").read(),
                        strict=False)
    languages = config["lang"]
    for language in languages:
        big = os.path.join(run_dir, "data", language.get("dbig", ""))
        language["file"] = big if language.get("dbig") and os.path.exists(big) else \
            os.path.join(run_dir, "data", language["data"])
        language["alphabet_ascii"] = language["long"] not in ("russian", "ukrainian")
    return languages


def first_level_words(run_dir, language):
    return next(iter(load_language(language["file"])["game"].values()))


def level_file(row):
    return row.encode("utf-8").hex() + ".sav"


def typable_words(words):
    """The words that can be typed whole: no shorter word of the level begins them."""
    return [w for w in words if w.isascii() and w.isalpha()
            and not any(w[:n] in words for n in range(1, len(w)))]


def swatch(theme):
    """The options screen's theme list, once opened."""
    return (734, 323 + 54 * theme)


def record(levels_open, level=0, story=2):
    """A progress record that continues a game whose first chapters are told."""
    return struct.pack("<10i", level, levels_open, story, 0, 0, 0, 0, 0, 0, 100)


def parse_record(data):
    return dict(zip(RECORD_FIELDS, struct.unpack("<10i", data)))


class Display:
    """An Xvfb server of its own; DISPLAY is set for the programs started after it."""

    def __init__(self, size="1280x720"):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24", "-nolisten", "tcp",
             "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n"):
                byte = pipe.read(1)
                if not byte:
                    raise RuntimeError("Xvfb did not start")
                number += byte
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        # A test that fails half-way leaves no server behind.
        atexit.register(self.close)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait()


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout


def picture(part):
    """A checksum of a part (w, h, x, y) of the screen; None while it is of one colour."""
    w, h, x, y = part
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "rgb:-"],
                         capture_output=True).stdout
    if not raw or raw.count(raw[:3]) * 3 == len(raw):
        return None
    return hashlib.md5(raw).hexdigest()


class Game:
    """One run of the game binary in run_dir (the game beside data/ and save/)."""

    def __init__(self, run_dir, key_hold=0.02):
        self.run_dir = run_dir
        self.key_hold = key_hold
        env = dict(os.environ, LC_ALL="", LC_MESSAGES="", LANG="en_US.UTF-8",
                   LIBGL_ALWAYS_SOFTWARE="1", GALLIUM_DRIVER="llvmpipe", SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=os.devnull)
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(["./game"], cwd=run_dir, env=env,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr)
        self.window = None
        atexit.register(lambda: self.alive() and self.process.kill())

    def alive(self):
        return self.process.poll() is None

    def wait_window(self, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.alive():
            found = xdotool("search", "--onlyvisible", "--pid", self.process.pid).split()
            if found:
                self.window = found[0]
                xdotool("windowfocus", "--sync", self.window)
                return True
            time.sleep(0.1)
        return False

    def wait_drawn(self, part=MENU_PART, timeout=60, pause=0.15):
        """Waits until the part of the screen is drawn and the same twice in a row, pause
        seconds apart."""
        deadline = time.monotonic() + timeout
        last = None
        while time.monotonic() < deadline and self.alive():
            now = picture(part)
            if now and now == last:
                return now
            last = now
            time.sleep(pause)
        return None

    def clicked_away(self, place, part, timeout):
        """Clicks place; True once part of the screen shows something else."""
        before = picture(part)
        self.click(*place)
        return self.wait_change(before, part, timeout)

    def wait_change(self, before, part=MENU_PART, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.alive():
            now = picture(part)
            if now and now != before:
                return True
            time.sleep(0.1)
        return False

    def key(self, name):
        xdotool("keydown", name)
        time.sleep(self.key_hold)
        xdotool("keyup", name)
        time.sleep(self.key_hold)

    def type(self, word):
        for letter in word:
            self.key(letter)

    def click(self, x, y):
        xdotool("mousemove", "--window", self.window, x, y)
        time.sleep(self.key_hold)
        xdotool("mousedown", 1)
        time.sleep(self.key_hold)
        xdotool("mouseup", 1)

    def signal(self, number):
        if self.alive():
            self.process.send_signal(number)

    def wait_exit(self, timeout=60):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None

    def error_output(self):
        self.stderr.seek(0)
        return self.stderr.read().decode("utf-8", "replace")


def prepare_run_dir(build_run_dir, directory, small_data=False):
    """A run directory: the game and links to everything in data/, an empty save/. small_data
    leaves the big language files out, which start faster."""
    build_run_dir = os.path.abspath(build_run_dir)
    os.makedirs(os.path.join(directory, "data"), exist_ok=True)
    os.makedirs(os.path.join(directory, "save"), exist_ok=True)
    os.symlink(os.path.join(build_run_dir, "game"), os.path.join(directory, "game"))
    data = os.path.join(build_run_dir, "data")
    for name in os.listdir(data):
        if not (small_data and name.endswith("_big.dat")):
            os.symlink(os.path.join(data, name), os.path.join(directory, "data", name))
    return directory
