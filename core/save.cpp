#include "core/save.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/files.h"
#include "store/keystore.h"
#include "store/language.h"

namespace {

const int kProgressFields = 10;

void fieldsOf(const Progress& record, uint32_t out[kProgressFields]) {
    const uint32_t values[kProgressFields] = {
        record.levelIndex,
        record.levelsOpen,
        static_cast<uint32_t>(record.storyStage),
        record.hintsUsed,
        static_cast<uint32_t>(record.wordsFound),
        static_cast<uint32_t>(record.lettersFound),
        record.secondsPlayed,
        static_cast<uint32_t>(record.windowModeNumber),
        static_cast<uint32_t>(record.theme),
        static_cast<uint32_t>(record.volume),
    };
    for (int k = 0; k < kProgressFields; k++) out[k] = values[k];
}

// The record as the progress file holds it: ten little-endian 32-bit fields.
void encodeProgress(const Progress& record, unsigned char bytes[kRecordFileSize]) {
    uint32_t fields[kProgressFields];
    fieldsOf(record, fields);
    for (int k = 0; k < kProgressFields; k++)
        for (int b = 0; b < 4; b++)
            bytes[4 * k + b] = static_cast<unsigned char>(fields[k] >> (8 * b));
}

void decodeProgress(const unsigned char* bytes, Progress* record) {
    uint32_t fields[kProgressFields];
    for (int k = 0; k < kProgressFields; k++)
        fields[k] = static_cast<uint32_t>(bytes[4 * k]) |
                    static_cast<uint32_t>(bytes[4 * k + 1]) << 8 |
                    static_cast<uint32_t>(bytes[4 * k + 2]) << 16 |
                    static_cast<uint32_t>(bytes[4 * k + 3]) << 24;
    record->levelIndex = fields[0];
    record->levelsOpen = fields[1];
    record->storyStage = static_cast<StoryStage>(fields[2]);
    record->hintsUsed = fields[3];
    record->wordsFound = static_cast<int32_t>(fields[4]);
    record->lettersFound = static_cast<int32_t>(fields[5]);
    record->secondsPlayed = fields[6];
    record->windowModeNumber = static_cast<int32_t>(fields[7]);
    record->theme = static_cast<int32_t>(fields[8]);
    record->volume = static_cast<int32_t>(fields[9]);
}

// ["word","word",...]: the level's words in finding order, then its bonus words, which an older
// game skips as no word of the level. The level loader refuses words that would need escaping.
std::string foundWordsJson(Game& game) {
    std::string json = "[";
    std::vector<const char*> words = game.foundList.words;
    words.insert(words.end(), game.bonusList.words.begin(), game.bonusList.words.end());
    for (const char* word : words) {
        if (json.size() > 1) json += ',';
        json += '"';
        json += word;
        json += '"';
    }
    json += ']';
    return json;
}

void rememberUnusable(SaveQueue& saves, const char* path, bool unusable) {
    auto found = std::find(saves.unusableFiles.begin(), saves.unusableFiles.end(), path);
    if (unusable && found == saves.unusableFiles.end())
        saves.unusableFiles.push_back(path);
    else if (!unusable && found != saves.unusableFiles.end())
        saves.unusableFiles.erase(found);
}

// A stored number that names a way of entering words.
bool isWordEntry(int number) {
    return number == static_cast<int>(WordEntry::AsTyped) ||
           number == static_cast<int>(WordEntry::OnEnter);
}

// A file that could not be used is renamed to <path>.bad (replacing an older one) before a new
// one takes its place. 0, or the error that keeps it in the way.
int moveAsideUnusable(SaveQueue& saves, const char* path) {
    if (std::find(saves.unusableFiles.begin(), saves.unusableFiles.end(), path) ==
        saves.unusableFiles.end())
        return 0;
    std::string aside = std::string(path) + ".bad";
    std::error_code error;
    std::filesystem::rename(path, aside, error);
    if (error && error != std::errc::no_such_file_or_directory) {
        // An older .bad of another kind (a file against a folder) cannot simply be replaced.
        std::filesystem::remove_all(aside, error);
        std::filesystem::rename(path, aside, error);
    }
    if (error && error != std::errc::no_such_file_or_directory) {
        std::fprintf(stderr, "%s could not be read and cannot be moved aside; it is not replaced\n",
                     path);
        return error.value() ? error.value() : EIO;
    }
    if (!error)
        std::fprintf(stderr, "%s could not be read; it is kept as %s\n", path, aside.c_str());
    rememberUnusable(saves, path, false);
    return 0;
}

// A newer state of a file replaces the one waiting, and goes last: a progress record always
// follows the level files it counts.
void keepUnsaved(SaveQueue& saves, const std::string& path, std::string bytes) {
    saves.unsavedFiles.erase(std::remove_if(saves.unsavedFiles.begin(), saves.unsavedFiles.end(),
                                            [&](const UnsavedFile& f) { return f.path == path; }),
                             saves.unsavedFiles.end());
    saves.unsavedFiles.push_back({path, std::move(bytes)});
}

const UnsavedFile* findUnsaved(const SaveQueue& saves, const char* path) {
    for (const UnsavedFile& file : saves.unsavedFiles)
        if (file.path == path) return &file;
    return nullptr;
}

// Writes the waiting files in order until one fails; each written one stops waiting.
int writeUnsavedFiles(SaveQueue& saves) {
    while (!saves.unsavedFiles.empty()) {
        const UnsavedFile& file = saves.unsavedFiles.front();
        if (int error = moveAsideUnusable(saves, file.path.c_str())) return error;
        errno = 0;
        if (!writeWholeFile(file.path.c_str(), file.bytes.data(), file.bytes.size()))
            return errno ? errno : EIO;
        saves.unsavedFiles.erase(saves.unsavedFiles.begin());
    }
    return 0;
}

// Tries the waiting files and tells standard error when saving stops or starts working again.
void saveUnsavedFiles(SaveQueue& saves) {
    saves.lastSaveAttempt = static_cast<int32_t>(std::time(nullptr));
    int error = writeUnsavedFiles(saves);
    if (error && !saves.saveError)
        std::fprintf(stderr, "progress cannot be saved: %s: %s\n",
                     saves.unsavedFiles.front().path.c_str(), std::strerror(error));
    else if (!error && saves.saveError)
        std::fprintf(stderr, "progress saved again\n");
    saves.saveError = error;
}

}  // namespace

void readOptions(Game& game) {
    const std::string optionsPath = savePath(game.config->folders, "options.dat");
    std::optional<std::vector<char>> bytes = readSaveFile(game.saves, optionsPath.c_str());
    if (!bytes) return;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes->data());
    if (bytes->size() == 4 && b[1] == 0 && b[2] == 0 && b[3] == 0 && isWordEntry(b[0]))
        game.wordEntry = static_cast<WordEntry>(b[0]);
    else
        rememberUnusable(game.saves, optionsPath.c_str(), true);
}

bool saveOptions(Game& game) {
    const std::string optionsPath = savePath(game.config->folders, "options.dat");
    const char bytes[4] = {static_cast<char>(game.wordEntry), 0, 0, 0};
    keepUnsaved(game.saves, optionsPath, std::string(bytes, sizeof bytes));
    saveUnsavedFiles(game.saves);
    return !findUnsaved(game.saves, optionsPath.c_str());
}

void markSaveFileUnusable(SaveQueue& saves, const char* path) {
    rememberUnusable(saves, path, true);
}

std::optional<std::vector<char>> readSaveFile(SaveQueue& saves, const char* path) {
    // What the disk refused is newer than what it holds.
    if (const UnsavedFile* unsaved = findUnsaved(saves, path))
        return std::vector<char>(unsaved->bytes.begin(), unsaved->bytes.end());
    std::optional<std::vector<char>> bytes = readWholeFile(path);
    // A file whose state cannot even be asked counts as there: better kept than overwritten.
    std::error_code error;
    bool present =
        std::filesystem::status(path, error).type() != std::filesystem::file_type::not_found;
    rememberUnusable(saves, path, !bytes && present);
    return bytes;
}

namespace {

void writeLevelSavePath(char out[kLevelPathBytes], const Folders& folders, const char* row) {
    // 59 bytes of row give 118 hex digits, which always fit after the save folder.
    int at = std::snprintf(out, kLevelPathBytes, "%s", folders.save.c_str());
    for (const char* p = row; *p && at + 2 < kLevelPathBytes - 4; p++)
        at += std::snprintf(out + at, kLevelPathBytes - at, "%2.2x",
                            static_cast<unsigned>(static_cast<unsigned char>(*p)));
    std::snprintf(out + at, kLevelPathBytes - at, ".sav");
}

}  // namespace

void levelSavePath(char out[kLevelPathBytes], const Folders& folders, const LetterTray* tray) {
    writeLevelSavePath(out, folders, tray->letterText);
}

bool levelSavePathOf(char out[kLevelPathBytes], const Folders& folders, const char* row) {
    out[0] = 0;
    if (!rowFitsTray(row)) return false;
    writeLevelSavePath(out, folders, row);
    return true;
}

bool saveProgress(Game& game) {
    // Only the time since the previous save on this level is new; the on-screen
    // level timer still counts from the load.
    int32_t now = static_cast<int32_t>(std::time(nullptr));
    if (now > game.lastLevelSaveTime)
        game.progress.secondsPlayed += static_cast<uint32_t>(now - game.lastLevelSaveTime);
    game.lastLevelSaveTime = now;
    game.progress.windowModeNumber = std::atoi(game.config->settings.windowMode);
    if (game.progress.levelIndex > game.progress.levelsOpen)
        game.progress.levelsOpen = game.progress.levelIndex;

    // The level file goes first: a record counting words its level file lacks would have
    // them counted again after a restart.
    char path[kLevelPathBytes];
    levelSavePath(path, game.config->folders, &game.letterTray);
    bool levelHasWords = game.levelFoundCount > 0 || !game.bonusList.words.empty();
    if (levelHasWords) keepUnsaved(game.saves, path, foundWordsJson(game));
    const char* saveName = getLangString(game.config->store, game.currentLanguage, "save");
    if (saveName) {
        unsigned char record[kRecordFileSize];
        encodeProgress(game.progress, record);
        keepUnsaved(game.saves, savePath(game.config->folders, saveName),
                    std::string(reinterpret_cast<const char*>(record), sizeof record));
    }
    saveUnsavedFiles(game.saves);
    return levelHasWords && !findUnsaved(game.saves, path);
}

SaveRefusal saveRefusal(const SaveQueue& saves) {
    switch (saves.saveError) {
    case 0: return SaveRefusal::None;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return SaveRefusal::DiskFull;
    case EROFS: return SaveRefusal::ReadOnly;
    case EACCES:
    case EPERM: return SaveRefusal::Denied;
    default: return SaveRefusal::DiskError;
    }
}

void retryRefusedSave(SaveQueue& saves) {
    if (saves.saveError &&
        static_cast<int32_t>(std::time(nullptr)) - saves.lastSaveAttempt >= kSaveRetrySeconds)
        saveUnsavedFiles(saves);
}

void readProgress(SaveQueue& saves, Progress* record, const char* path) {
    *record = Progress();
    record->volume = 100;
    std::optional<std::vector<char>> bytes = readSaveFile(saves, path);
    if (bytes && bytes->size() == kRecordFileSize)
        decodeProgress(reinterpret_cast<const unsigned char*>(bytes->data()), record);
    else if (bytes)
        rememberUnusable(saves, path, true);
}
