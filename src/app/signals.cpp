#include "app/signals.h"

#include <signal.h>

#include <initializer_list>

#include "app/lifecycle.h"
#include "app/startup.h"

// The last end signal that came, 0 before any.
static volatile sig_atomic_t pendingSignal = 0;

// May run in the middle of anything, so it only records the signal.
static void recordSignal(int signalNumber)
{
    pendingSignal = signalNumber;
}

void catchEndSignals()
{
    struct sigaction action = {};
    action.sa_handler = recordSignal;
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

void endOnPendingSignal()
{
    const int signalNumber = pendingSignal;
    if (signalNumber == 0) {
        return;
    }
    leaveFullScreen();
    quitGame(128 + signalNumber);
}
