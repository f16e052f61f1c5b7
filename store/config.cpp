#include "store/config.h"

#include <cerrno>
#include <cstdlib>

#include "store/folders.h"
#include "store/keystore.h"

KeyStore* readConfig(const Folders& folders) {
    KeyStore* store = loadKeyStore(dataPath(folders, "game.dat").c_str());
    if (!store) return nullptr;
    // A lone word parses, but it is no configuration: refusing it here gives the player the
    // configuration message instead of a window that cannot be made 0 pixels wide.
    if (store->root->type != NODE_OBJECT) {
        freeKeyStore(store);
        return nullptr;
    }
    return store;
}

namespace {

// A whole number in 32 bits and nothing else (JSON writes integers bare, but a quoted one reads
// the same).
bool readWholeNumber(const char* text, int32_t* value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    long long read = std::strtoll(text, &end, 10);
    while (*end == ' ') ++end;  // a bare token keeps its trailing spaces
    if (*end || errno || read < INT32_MIN || read > INT32_MAX) return false;
    *value = static_cast<int32_t>(read);
    return true;
}

}  // namespace

Settings readSettings(const KeyStore* store, const char* file, std::vector<std::string>* problems) {
    Settings settings;
    auto problem = [&](const char* key, const std::string& what) {
        problems->push_back(std::string(file) + ": \"" + key + "\" " + what);
    };
    for (const IntegerSetting& row : kIntegerSettings) {
        const char* text = getString(store, row.key);
        int32_t& value = settings.*row.field;
        if (!text) {
            value = row.whenAbsent == kRequired ? 0 : row.whenAbsent;
            problem(row.key, row.whenAbsent == kRequired
                                 ? "is missing"
                                 : "is missing; " + std::to_string(value) + " is used");
        } else if (!readWholeNumber(text, &value)) {
            value = std::atoi(text);  // what the game always read: the leading digits
            problem(row.key, std::string("is \"") + text + "\", not a whole number; " +
                                 std::to_string(value) + " is used");
        } else if (value < row.lowest || value > row.highest) {
            problem(row.key, "is " + std::to_string(value) + ", outside " +
                                 std::to_string(row.lowest) + " to " + std::to_string(row.highest));
        }
    }
    for (const TextSetting& row : kTextSettings) {
        const char* text = getString(store, row.key);
        if (text) settings.*row.field = text;
        if (!text || (!*text && row.required))
            problem(row.key, text ? "is empty" : "is missing; the empty text is used");
    }
    return settings;
}
