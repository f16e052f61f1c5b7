#include "app/app.h"

#include <GLFW/glfw3.h>
#include <imgui.h>

#include "audio/sounds.h"
#include "core/save.h"
#include "core/tray.h"
#include "platform/close_signals.h"
#include "platform/display_watch.h"
#include "store/language.h"
#include "ui/play.h"
#include "ui/screens.h"

void saveBeforeDisplayLoss() {
    if (langStore) saveProgress(&letterTray);
}

void frameStep(void* arg) {
    App* app = static_cast<App*>(arg);
    watchDisplayLoss(saveBeforeDisplayLoss);
    InputEvent event = pollInput(app);
    // Closed by the window system, or told to end by a signal: keep what was found since the last
    // save, and end the way the window's close button does.
    if ((event.type == INPUT_CLOSE && event.code == kInputNoKey) || closeSignalReceived()) {
        if (langStore) saveProgress(&letterTray);
        stopFrameLoop(app);
    }
    if (event.type == INPUT_KEY) {
        if (event.code == GLFW_KEY_ESCAPE) {
            handleEscapeKey();
        } else if (keysTypeWords()) {
            handleTrayKey(app, event.code, event.text);
        }
    }
    retryRefusedSave();
    if (drawScreens(app)) stopFrameLoop(app);
    endFrame(app, ImGui::GetColorU32(ImGuiCol_WindowBg));
    // The music thread decodes the first track as it starts. Started before the first picture is
    // on screen it would take a core from it, so it starts after, and the music a moment later.
    if (!app->musicThreadStarted) {
        startMusicThread(&musicPlayer);
        app->musicThreadStarted = true;
    }
}
