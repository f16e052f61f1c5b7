#include "ui/play.h"

#include <cstring>
#include <string>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "device/keyboard.h"
#include "platform/steam_wq.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"
#include "util/utf8.h"

void showStoryTurn(Ui& ui, Game& game, StoryTurn turn) {
    if (turn.passed) GrantAchievementWq(turn.passed);
    if (turn.chapter) {
        GrantAchievementWq(turn.chapter);
        ui.currentScreen = Screen::Story;
        ui.storyPage = 0;
        ui.storyChapter = turn.chapter;
    }
    if (turn.theme >= 0) applyTheme(ui, game, turn.theme);
}

namespace {

void grantLevelAchievement(Game& game) {
    char name[16];
    if (const char* achievement = levelAchievement(game.progress.levelIndex, name))
        GrantAchievementWq(achievement);
}

void answerWordStep(Ui& ui, Game& game, const WordStep& step) {
    switch (step.outcome) {
    case WordOutcome::NewWord: playSound(ui.assets.sounds, SoundSlot::WordOk); break;
    case WordOutcome::NewBonus: playSound(ui.assets.sounds, SoundSlot::WordBonus); break;
    case WordOutcome::Repeat:
    case WordOutcome::Refused: playSound(ui.assets.sounds, SoundSlot::WordReject); break;
    case WordOutcome::Nothing: break;
    }
    // The autosave already counts the word that made it due.
    if (step.saveDue) saveProgress(game);
    showStoryTurn(ui, game, step.turn);
}

}  // namespace

void checkTypedWord(Ui& ui, Game& game) {
    answerWordStep(ui, game, checkWord(game));
}

bool showHint(Ui& ui, Game& game) {
    if (!revealHint(game)) return false;
    ui.currentScreen = Screen::WordInfo;
    return true;
}

void startChapter(Ui& ui, Game& game, const char* chapter, StoryStage stage) {
    showStoryTurn(ui, game, beginChapter(game, chapter, stage));
}

void selectLevel(Ui& ui, Game& game) {
    if (!levelChosen(game)) return;
    // The level left keeps its words and time.
    saveProgress(game);
    uint32_t before = game.progress.levelIndex;
    StoryTurn turn = changeLevel(game);
    if (game.progress.levelIndex != before) grantLevelAchievement(game);
    showStoryTurn(ui, game, turn);
}

namespace {

int typeAndCheck(Ui& ui, Game& game, const char* character) {
    // A letter the row writes plainly (ё as е) takes the plain tile.
    const char* folded = getSectionString(game.langStore.get(), "fold", character);
    if (!typeCharacter(&game.letterTray, character) &&
        !(folded && typeCharacter(&game.letterTray, folded)))
        return 0;
    checkTypedWord(ui, game);
    return 1;
}

}  // namespace

bool typeKeyCharacter(Ui& ui, Game& game, char c) {
    // The data file names a key as JSON writes it: the backslash key is "\\".
    char key[3] = {c, 0, 0};
    if (c == '\\' || c == '"') {
        key[0] = '\\';
        key[1] = c;
    }
    const char* mapped = getSectionString(game.langStore.get(), "charmap", key);
    return typeAndCheck(ui, game, mapped ? mapped : key);
}

void handleTrayKey(Ui& ui, Game& game, int glfwKey, uint32_t text) {
    // One press types one character: a letter beyond ASCII, else the one-byte key name.
    uint32_t letter = pressedLetter(keyLayoutName(glfwKey), text);
    if (letter) {
        char utf8[5] = {0};
        encodeUtf8(letter, utf8);
        typeAndCheck(ui, game, utf8);
    } else if (char c = keyToChar(glfwKey)) {
        char own[2] = {c, 0};
        if (layoutMovedCharacter(glfwKey, c))
            typeAndCheck(ui, game, own);
        else
            typeKeyCharacter(ui, game, c);
    }
    if (glfwKey == KEY_ENTER || glfwKey == KEY_KP_ENTER)
        answerWordStep(ui, game, submitWord(game));
    else if (glfwKey == KEY_DELETE)
        clearTypedWord(&game.letterTray);
    else if (glfwKey == KEY_F1 && hintAvailable(game))
        showHint(ui, game);
    else if (glfwKey == KEY_BACKSPACE)
        popLetter(&game.letterTray);
}

bool selectLanguage(Ui& ui, Game& game, int i) {
    if (i < 0 || i >= game.languageCount) return false;
    // Play since the last save would be lost when the record is read back below.
    if (game.langStore) saveProgress(game);

    int previousLanguage = game.currentLanguage;
    ui.currentScreen = Screen::MainMenu;
    game.currentLanguage = i;
    if (!loadLanguageData(game, languageDataPath(*ui.assets.config, i).c_str())) {
        game.currentLanguage = previousLanguage;
        ui.currentScreen = Screen::Language;
        return false;
    }
    const char* save = getLangString(ui.assets.config->store, i, "save");
    readProgress(game.saves, &game.progress, savePath(ui.assets.config->folders, save).c_str());
    readOptions(game);
    game.bonusTotal = countSavedBonusWords(game);
    applyTheme(ui, game, game.progress.theme);
    setMusicVolume(ui.assets.music, game.progress.volume);
    if (loadLevel(game, game.langStore.get(), static_cast<int>(game.progress.levelIndex))) {
        grantLevelAchievement(game);
    } else {
        // A stored level this data cannot install: play on from level 0, which
        // loadLanguageData installed, instead of under a wrong level number.
        game.progress.levelIndex = 0;
        game.levelNumber = 1;
    }
    unlockLevels(game);
    return true;
}

int selectLanguageByName(Ui& ui, Game& game, const char* longName) {
    int matches = 0;
    for (int i = 0; i < game.languageCount; i++) {
        const char* name = getLangString(ui.assets.config->store, i, "long");
        if (name && std::strcmp(name, longName) == 0) {
            selectLanguage(ui, game, i);
            matches++;
        }
    }
    return matches;
}
