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

void saveBeforeDisplayLoss(void* game) {
    if (langStore) saveProgress(*static_cast<Game*>(game));
}

void frameStep(void* arg) {
    App* app = static_cast<App*>(arg);
    Game& game = *app->game;
    watchDisplayLoss(saveBeforeDisplayLoss, &game);
    InputEvent event = pollInput(app);
    // Closed by the window system, or told to end by a signal: keep what was found since the last
    // save, and end the way the window's close button does.
    if ((event.type == InputType::Close && event.code == kInputNoKey) || closeSignalReceived()) {
        if (langStore) saveProgress(game);
        stopFrameLoop(app);
    }
    if (event.type == InputType::Key) {
        if (event.code == GLFW_KEY_ESCAPE) {
            handleEscapeKey();
        } else if (keysTypeWords()) {
            handleTrayKey(game, event.code, event.text);
        }
    }
    retryRefusedSave();
    if (drawScreens(game)) stopFrameLoop(app);
    endFrame(app, ImGui::GetColorU32(ImGuiCol_WindowBg));
    // Opening the sound device takes tens of milliseconds, and the music thread decodes the first
    // track as it starts, taking a core: both wait until the first picture is on screen. The
    // pictures decoded ahead for the theme not shown are let go then.
    if (!app->audioStarted) {
        dropDecodedAhead(&imageAssets);
        initAudio(&musicPlayer, config.store, app->window);
        startMusicThread(&musicPlayer);
        app->audioStarted = true;
    }
}
