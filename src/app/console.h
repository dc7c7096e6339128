#pragma once

// The console: the standard streams the game prints its lines on. Each platform keeps them
// in its own way (console_<platform>.cpp); the rest of the game only prints.

// Keeps descriptors 0, 1 and 2 for the standard streams, even when the game was started with
// one of them closed, so that nothing opened later (the display connection) takes the place of
// one. Call first of all.
void keepStandardDescriptorsOpen();

// Sets standard output up so that each line reaches the console, a pipe or a log as it is
// printed, or at the next flushConsoleOutput at the latest. Call before the first line.
void startConsoleOutput();

// Sends on what standard output still holds. Between passes.
void flushConsoleOutput();

// Points standard error at nothing while libraries probe (the audio back ends print their
// own complaints); returns what restoreStandardError needs to point it back, -1 for nothing.
int muteStandardError();
void restoreStandardError(int saved);
