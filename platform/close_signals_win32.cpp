#include "platform/close_signals.h"

#include <csignal>
#include <initializer_list>

// Windows has no SIGHUP, and no SDL installs handlers here; the C runtime raises SIGINT for
// Ctrl+C and SIGTERM for raise() from elsewhere in the process.
void watchCloseSignals() {
    for (int signal : {SIGTERM, SIGINT}) std::signal(signal, noteCloseSignal);
}
