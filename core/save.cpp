#include "core/save.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/files.h"
#include "store/keystore.h"
#include "store/language.h"

namespace {

const int PROGRESS_FIELDS = 10;

void fieldsOf(const Progress &record, uint32_t out[PROGRESS_FIELDS])
{
    const uint32_t values[PROGRESS_FIELDS] = {
        record.levelIndex, record.levelsOpen, record.storyStage, record.hintsUsed,
        (uint32_t)record.wordsFound, (uint32_t)record.lettersFound, record.secondsPlayed,
        (uint32_t)record.windowModeNumber, (uint32_t)record.theme, (uint32_t)record.volume,
    };
    for (int k = 0; k < PROGRESS_FIELDS; k++)
        out[k] = values[k];
}

// The record as the progress file holds it: ten little-endian 32-bit fields.
void encodeProgress(const Progress &record, unsigned char bytes[kRecordFileSize])
{
    uint32_t fields[PROGRESS_FIELDS];
    fieldsOf(record, fields);
    for (int k = 0; k < PROGRESS_FIELDS; k++)
        for (int b = 0; b < 4; b++)
            bytes[4 * k + b] = (unsigned char)(fields[k] >> (8 * b));
}

void decodeProgress(const unsigned char *bytes, Progress *record)
{
    uint32_t fields[PROGRESS_FIELDS];
    for (int k = 0; k < PROGRESS_FIELDS; k++)
        fields[k] = (uint32_t)bytes[4 * k] | (uint32_t)bytes[4 * k + 1] << 8 |
                    (uint32_t)bytes[4 * k + 2] << 16 | (uint32_t)bytes[4 * k + 3] << 24;
    record->levelIndex = fields[0];
    record->levelsOpen = fields[1];
    record->storyStage = fields[2];
    record->hintsUsed = fields[3];
    record->wordsFound = (int32_t)fields[4];
    record->lettersFound = (int32_t)fields[5];
    record->secondsPlayed = fields[6];
    record->windowModeNumber = (int32_t)fields[7];
    record->theme = (int32_t)fields[8];
    record->volume = (int32_t)fields[9];
}

// ["word","word",...] in finding order; words are row letters, so nothing needs escaping.
std::string foundWordsJson()
{
    std::string json = "[";
    for (const char *word : foundList.words) {
        if (json.size() > 1)
            json += ',';
        json += '"';
        json += word;
        json += '"';
    }
    json += ']';
    return json;
}

}  // namespace

void levelSavePath(char out[LEVEL_PATH_BYTES], const LetterTray *tray)
{
    // 59 bytes of row give 118 hex digits: "save/" + 118 + ".sav" + zero = 128.
    int at = std::snprintf(out, LEVEL_PATH_BYTES, "save/");
    for (const char *p = tray->letterText; *p && at + 2 < LEVEL_PATH_BYTES - 4; p++)
        at += std::snprintf(out + at, LEVEL_PATH_BYTES - at, "%2.2x", (unsigned)(unsigned char)*p);
    std::snprintf(out + at, LEVEL_PATH_BYTES - at, ".sav");
}

int saveProgress(LetterTray *tray)
{
    // Only the time since the previous save on this level is new; the on-screen
    // level timer still counts from the load.
    int32_t now = (int32_t)std::time(nullptr);
    if (now > lastLevelSaveTime)
        progress.secondsPlayed += (uint32_t)(now - lastLevelSaveTime);
    lastLevelSaveTime = now;
    progress.windowModeNumber = getInt(config, "windowMode");
    if (progress.levelIndex > progress.levelsOpen)
        progress.levelsOpen = progress.levelIndex;

    const char *saveName = getLangString(config, currentLanguage, "save");
    if (saveName) {
        unsigned char record[kRecordFileSize];
        encodeProgress(progress, record);
        writeWholeFile((std::string("save/") + saveName).c_str(), record, sizeof record);
    }

    char path[LEVEL_PATH_BYTES];
    levelSavePath(path, tray);
    if (levelFoundCount <= 0)
        return 0;
    std::string json = foundWordsJson();
    return writeWholeFile(path, json.data(), json.size()) ? 1 : 0;
}

void readProgress(Progress *record, const char *path)
{
    *record = Progress();
    record->volume = 100;
    std::optional<std::vector<char>> bytes = readWholeFile(path);
    if (bytes && bytes->size() == kRecordFileSize)
        decodeProgress((const unsigned char *)bytes->data(), record);
}
