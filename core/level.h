#pragma once
// Levels, unlocking, hints and story chapters of the current language.

#include <cstdint>

struct Config;
struct Game;
struct KeyStore;
struct LetterTray;

// How far the story is told: the chapter begun last (its number is what the progress file holds).
enum class StoryStage : uint32_t { None, Study, Step1, BlackStart, BlackEnd };

// The language's progress record; its 40-byte little-endian image is the progress file.
struct Progress {
    uint32_t levelIndex;  // current level, 0-based
    uint32_t levelsOpen;  // highest level number the selector offers
    StoryStage storyStage;
    uint32_t hintsUsed;
    int32_t wordsFound;
    int32_t lettersFound;
    uint32_t secondsPlayed;
    int32_t windowModeNumber;
    int32_t theme;
    int32_t volume;
};
static_assert(sizeof(Progress) == 40, "the progress file is 40 bytes");

// A fresh game played by config, as before any language is selected: no language data (the
// previous one freed), no progress (volume 100), an empty tray and word set, level 1, the autosave
// clock starting now, nothing waiting to be saved and no save file known to be unusable.
void resetCore(Game& game, const Config& config);

// Installs level i of store with the words found earlier (from its level file);
// words holding a quote or a backslash are left out. 1 when the level exists and
// its row fits the tray; otherwise nothing changes but levelNumber.
bool loadLevel(Game& game, KeyStore* store, int i);

// Bonus words the level files of the language's rows hold (each counted once per level).
int32_t countSavedBonusWords(Game& game);

// Words of the current level needed to open the next one.
int wordsToUnlock(Game& game);

// What a step of play began that the screens show: the story chapter begun last (null when
// none) and the theme the story turned to (-1 when none).
struct StoryTurn {
    const char* chapter = nullptr;
    int theme = -1;
    // A chapter begun and passed over in the same step (one word past two thresholds): not
    // told, but its achievement is earned all the same.
    const char* passed = nullptr;
};

// unlockLevels opens the next level once enough of this level's words are found and caps the
// open levels at "levelsCount": called when a word is found and when a level or language is
// installed, whatever screen is drawn. changeLevel is the level selector's step after its widget:
// when levelNumber was changed (levelChosen), it switches to that level (the second level begins
// the chapter "step1"); the caller saves the level left before.
void unlockLevels(Game& game);
bool levelChosen(Game& game);
StoryTurn changeLevel(Game& game);

bool hintAvailable(Game& game);
// Reveals the first word not found yet (slot order) as hintWord and hintDescription. A hint is
// counted only when a word was revealed, and not when it is the word this level's last hint
// revealed (still not found). 1 when revealed.
bool revealHint(Game& game);

// Moves the story to stage; the chapter it returns is also the achievement the screens grant.
StoryTurn beginChapter(Game& game, const char* chapter, StoryStage stage);
// The achievement installing the level of this index earns each time ("lvl10"), written into
// name; null for the levels that earn none.
const char* levelAchievement(uint32_t levelIndex, char (&name)[16]);

// Loads a language data file into langStore and installs its level 0.
// Returns the new store, or null (langStore, the level and the progress
// unchanged) when it cannot be loaded or its level 0 cannot be installed.
KeyStore* loadLanguageData(Game& game, const char* path);
