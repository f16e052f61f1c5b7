#pragma once
// Levels, unlocking, hints and story chapters of the current language.

#include <cstdint>

struct KeyStore;
struct LetterTray;

// The language's progress record; its 40-byte little-endian image is the progress file.
struct Progress {
    uint32_t levelIndex;      // current level, 0-based
    uint32_t levelsOpen;      // highest level number the selector offers
    uint32_t storyStage;      // 0 none, 1 study, 2 step1, 3 blackStart, 4 blackEnd
    uint32_t hintsUsed;
    int32_t wordsFound;
    int32_t lettersFound;
    uint32_t secondsPlayed;
    int32_t windowModeNumber;
    int32_t theme;
    int32_t volume;
};
static_assert(sizeof(Progress) == 40, "the progress file is 40 bytes");

extern Progress progress;
extern int32_t levelNumber;       // the level selector's 1-based value
extern int32_t levelStartTime;    // wall-clock second the level was loaded (level timer)
extern int32_t lastLevelSaveTime; // wall-clock second up to which this level's time is counted
extern const char *hintWord;      // the word shown by the word description screen
extern const char *hintDescription;
extern int32_t hintCheatCount;    // words credited toward hints, read at start-up

// Installs level i of store with the words found earlier (from its level file);
// words holding a quote or a backslash are left out. 1 when the level exists and
// its row fits the tray; otherwise nothing changes but levelNumber.
int loadLevel(KeyStore *store, LetterTray *tray, int i);

// Words of the current level needed to open the next one.
int wordsToUnlock();

// The level selector's per-frame steps: unlockLevels before the selector widget
// (opens the next level, caps at "levelsCount"), selectLevel after it (saves and
// switches when levelNumber was changed).
void unlockLevels();
void selectLevel();

int hintAvailable();
// Reveals the first word not found yet (slot order) on the word description
// screen. A hint is counted only when a word was revealed, and not when it is
// the word this level's last hint revealed (still not found). 1 when revealed.
int showHint();

void startChapter(const char *chapter, uint32_t stage);
