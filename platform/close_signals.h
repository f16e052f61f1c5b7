// Requests to end the program that come from the system rather than the window: a log-out, kill,
// Ctrl+C in a terminal, a closed terminal.
#pragma once

// Makes SIGTERM, SIGINT and SIGHUP only note the request, and keeps SDL from installing its own
// handlers for them (which turn them into events nothing reads). A signal the program was started
// with ignored (nohup, a background job) stays ignored. Call before SDL is initialised.
void watchCloseSignals();

// True once one of those signals has arrived.
bool closeSignalReceived();

// The handler each system's watchCloseSignals installs: it only notes the request.
extern "C" void noteCloseSignal(int signal);
