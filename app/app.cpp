#include "app/app.h"

#include <cctype>

App app;
int windowWidth = 0;
int windowHeight = 0;
const char* windowTitle = nullptr;
char pathBuffer[PATH_BUFFER_SIZE];

static char modeFromLetter(char letter) {
    return std::tolower(static_cast<unsigned char>(letter)) == 'f' ? 'f' : 'x';
}

char windowModeFromArgs(const char* configured, int argc, const char* const* argv) {
    char mode = configured ? modeFromLetter(configured[0]) : 'x';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] == '-' || arg[0] == '/') mode = modeFromLetter(arg[1]);
    }
    return mode;
}
