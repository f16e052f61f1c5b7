// Requests to end the program that come from the system rather than the window: a log-out, kill,
// Ctrl+C in a terminal, a closed terminal.
#pragma once

// Makes SIGTERM, SIGINT and SIGHUP only note the request (the sound device's back end keeps its
// library from taking them over). A signal the program was started with ignored (nohup, a
// background job) stays ignored.
void watchCloseSignals();

// True once one of those signals has arrived.
bool closeSignalReceived();

// The handler each system's watchCloseSignals installs: it only notes the request.
extern "C" void noteCloseSignal(int signal);
