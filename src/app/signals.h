#pragma once

// Ctrl-C, kill and a closed terminal end the game the way Q does; a console pipe whose
// reader has gone does not. The POSIX signals are described below; on Windows
// (signals_win32.cpp) Ctrl-C, Ctrl-Break and a closed console do the same with the status
// STATUS_CONTROL_C_EXIT.

// From now on SIGINT, SIGTERM and SIGHUP end the process at once with status 128 + the
// signal's number, as a shell reports it, wherever start-up is (a slow image load too); one
// that the starting process ignored, as nohup does, stays ignored. SIGPIPE is ignored, so a
// console line that cannot be written is dropped. Call before the sound starts: SDL leaves a
// signal alone once it has a handler.
void catchEndSignals();

// Call just before the main loop: from then on the first of those signals only records that
// it came, and endOnPendingSignal acts on it between passes, so the game ends as Q would; a
// second one ends the process at once with 128 + its number.
void deferEndSignals();

// If one of those signals has come: leaves full screen, shuts the sound down and ends the
// process with status 128 + the signal's number. Otherwise returns at once.
void endOnPendingSignal();
