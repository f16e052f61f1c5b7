#include "platform/close_signals.h"

#include <csignal>
#include <initializer_list>

void watchCloseSignals() {
    struct sigaction note {};
    note.sa_handler = noteCloseSignal;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(signal, &note, nullptr);
    }
}
