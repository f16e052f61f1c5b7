"""The content report's play-through: each word native players tried is answered as the game
answers it, from the language data, and levels whose row has changed are left out."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "levels"))
import content_report  # noqa: E402

DATA = {
    "fold": {"ё": "е"},
    "game": {"сеон": ["не", "но", "он", "нос", "сон", "сено"], "лёт": ["лёт"]},
    "bonus": {"сеон": ["носе", "ос"]},
}


class PlayThrough(unittest.TestCase):
    def test_each_word_is_answered_as_the_game_answers_it(self):
        answers = [content_report.answer(DATA, 1, w) for w in ("Сено", "носе", "сне", "сосна", "нос")]
        self.assertEqual(answers, ["level word", "bonus", "refused", "untypeable", "level word"])
        self.assertEqual(content_report.answer(DATA, 2, "лет"), "level word")  # ё typed as е

    def test_levels_played_on_another_row_are_not_counted(self):
        tried = [(1, "онсе", ["сон", "носе", "сне", "xyz"]), (2, "кот", ["кот"]), (9, "abc", ["a"])]
        result = content_report.play_through(DATA, tried)
        self.assertEqual(result["levels"], 1)
        self.assertEqual(result["tried"], 3)
        self.assertEqual(result["bonus"], ["носе (L1)"])
        self.assertEqual(result["refused"], ["сне (L1)"])
        self.assertEqual(result["changed"], [2, 9])


if __name__ == "__main__":
    unittest.main()
