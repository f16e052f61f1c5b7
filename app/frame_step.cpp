#include "app/app.h"

#include <GLFW/glfw3.h>
#include <imgui.h>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/save.h"
#include "core/tray.h"
#include "device/display_watch.h"
#include "gfx/image.h"
#include "platform/close_signals.h"
#include "store/config.h"
#include "store/language.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

void saveBeforeDisplayLoss(void* game) {
    Game& played = *static_cast<Game*>(game);
    if (played.langStore) saveProgress(played);
}

void frameStep(void* arg) {
    App* app = static_cast<App*>(arg);
    Ui& ui = *app->ui;
    Game& game = *app->game;
    watchDisplayLoss(saveBeforeDisplayLoss, &game);
    InputEvent event = pollInput(app);
    // Closed by the window system, or told to end by a signal: keep what was found since the last
    // save, and end the way the window's close button does.
    if ((event.type == InputType::Close && event.code == kInputNoKey) || closeSignalReceived()) {
        if (game.langStore) saveProgress(game);
        stopFrameLoop(app);
    }
    if (event.type == InputType::Key) {
        if (event.code == GLFW_KEY_ESCAPE) {
            handleEscapeKey(ui);
        } else if (keysTypeWords(ui)) {
            handleTrayKey(ui, game, event.code, event.text);
        }
    }
    retryRefusedSave(game.saves);
    if (drawScreens(ui, game)) stopFrameLoop(app);
    endFrame(app, ImGui::GetColorU32(ImGuiCol_WindowBg));
    // Decoding the sounds and opening the sound device take tens of milliseconds, and the music
    // thread decodes the first track as it starts, taking a core: all wait until the first
    // picture is on screen. No sound can play before (playSound needs the mixer). The pictures
    // decoded ahead for the theme not shown are let go then.
    if (!app->audioStarted) {
        const UiAssets& assets = ui.assets;
        dropDecodedAhead(assets.images);
        loadSoundAssets(assets.sounds, assets.config->store, assets.music);
        initAudio(assets.music, assets.config->store, app->window);
        startMusicThread(assets.music);
        app->audioStarted = true;
    }
}
