#include "platform/close_signals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t closeSignalSeen = 0;

}  // namespace

extern "C" void noteCloseSignal(int) {
    closeSignalSeen = 1;
}

bool closeSignalReceived() {
    return closeSignalSeen != 0;
}
