#include "app/signals.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include "app/lifecycle.h"
#include "app/startup.h"

// The last end signal that came, 0 before any.
static volatile sig_atomic_t pendingSignal = 0;
// Set once the main loop is about to run.
static volatile sig_atomic_t deferred = 0;

// May run in the middle of anything. Before the main loop the process ends here, whatever
// start-up is doing (a long image load too): nothing is safe to undo from a handler, so a
// display mode that game mode switched is left to the display server, as after any kill.
// Once the main loop runs, the first signal is only recorded; a second one ends the process
// at once, for when the game is stuck before it acts on the first.
static void onEndSignal(int signalNumber)
{
    if (deferred == 0 || pendingSignal != 0) {
        _exit(128 + signalNumber);
    }
    pendingSignal = signalNumber;
}

void catchEndSignals()
{
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes under way carry on; the toolkit's wait for its next timer ends anyway.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current = {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaction(signalNumber, &action, nullptr);
        }
    }
    signal(SIGPIPE, SIG_IGN);
}

void deferEndSignals()
{
    deferred = 1;
}

void endOnPendingSignal()
{
    const int signalNumber = pendingSignal;
    if (signalNumber == 0) {
        return;
    }
    leaveFullScreen();
    quitGame(128 + signalNumber);
}
