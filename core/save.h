#pragma once
// Progress and level files in the save folder (store/folders.h). A save file that exists but
// cannot be read (or a progress file of the wrong size) reads as no progress, and is moved aside
// to <name>.bad, with a line on standard error, before a save writes a new one. A save the disk
// refuses leaves the files as they were; what it meant to write waits, and is written by the next
// save or retry.

#include <optional>
#include <string>
#include <vector>

#include "store/folders.h"

struct Game;
struct LetterTray;
struct Progress;

// The save folder, 118 hex digits for a row's 59 bytes, ".sav" and the zero.
constexpr int kLevelPathBytes = static_cast<int>(kMaxSaveFolderBytes) + 128;

// <save folder><two hex digits per byte of the row>.sav
void levelSavePath(char out[kLevelPathBytes], const Folders& folders, const LetterTray* tray);
// The same for a row of the language data; 0 (and out empty) when the row does not fit a tray.
bool levelSavePathOf(char out[kLevelPathBytes], const Folders& folders, const char* row);

// Writes the level file when the level has found words, then, unless that failed, the
// progress file of the current language; files earlier saves could not write go first.
// 1 when the level file was written.
bool saveProgress(Game& game);

// A file a save meant to write and the disk has not taken yet.
struct UnsavedFile {
    std::string path;
    std::string bytes;
};

// What the saves of a game keep between them.
struct SaveQueue {
    // Save files that exist but could not be used when they were last read: the player's only
    // copy of that progress, which no save may overwrite.
    std::vector<std::string> unusableFiles;
    // What saves meant to write and the disk has not taken yet, oldest first: level files of
    // levels since left and records of languages since switched hold play that exists nowhere
    // else.
    std::vector<UnsavedFile> unsavedFiles;
    // The error of the last attempt to write them (0 once all are written), and when it was.
    int saveError = 0;
    int32_t lastSaveAttempt = 0;
};

// Why the last save could not write everything it meant to, for the player.
enum class SaveRefusal { None, DiskFull, ReadOnly, Denied, DiskError };
SaveRefusal saveRefusal(const SaveQueue& saves);

// How often a refused save is tried again while the game runs.
constexpr int kSaveRetrySeconds = 3;

// Writes what a refused save could not, once kSaveRetrySeconds have passed since it tried.
void retryRefusedSave(SaveQueue& saves);

// Defaults (all 0, volume 100), then the file's 40 bytes when it is exactly 40 bytes long.
void readProgress(SaveQueue& saves, Progress* record, const char* path);

// The player's choices that belong to no language: options.dat in the save folder, the 4-byte
// little-endian wordEntry. A missing file, or one of another size or value, leaves wordEntry as
// it is.
void readOptions(Game& game);
// 1 when save/options.dat was written.
bool saveOptions(Game& game);

// A save file that was read but holds nothing the game can use: the next save moves it aside.
void markSaveFileUnusable(SaveQueue& saves, const char* path);

// The bytes of a save file (those a refused save still has to write, when there are such);
// none when it is missing or cannot be read.
std::optional<std::vector<char>> readSaveFile(SaveQueue& saves, const char* path);
