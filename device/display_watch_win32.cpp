#include "device/display_watch.h"

// A Windows program has no connection to its window system that can fail under it; a log-out
// reaches it as messages to its window.
void watchDisplayLoss(void (*)(void*), void*) {}
