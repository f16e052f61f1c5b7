#pragma once
// Progress and level files under save/.

struct LetterTray;
struct Progress;

enum { LEVEL_PATH_BYTES = 128 };

// save/<two hex digits per byte of the row>.sav
void levelSavePath(char out[LEVEL_PATH_BYTES], const LetterTray *tray);

// Writes the progress file of the current language and, when the level has found
// words, its level file. 1 when the level file was written.
int saveProgress(LetterTray *tray);

// Defaults (all 0, volume 100), then the file's 40 bytes when it is exactly 40 bytes long.
void readProgress(Progress *record, const char *path);
