#pragma once

// Ctrl-C, kill and a closed terminal end the game the way Q does; a console pipe whose
// reader has gone does not.

// From now on SIGINT, SIGTERM and SIGHUP only record that they came (one that the starting
// process ignored, as nohup does, stays ignored), and SIGPIPE is ignored, so a console line
// that cannot be written is dropped. Call before the sound starts: SDL leaves a signal
// alone once it has a handler.
void catchEndSignals();

// If one of those signals has come: leaves full screen, shuts the sound down and ends the
// process with status 128 + the signal's number, as a shell reports it. Otherwise returns
// at once. The main loop calls it many times a second.
void endOnPendingSignal();
