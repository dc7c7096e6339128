#include "app/signals.h"

#include <windows.h>

#include <atomic>

#include "app/lifecycle.h"
#include "app/startup.h"

// The status Windows gives a console program that Ctrl-C, Ctrl-Break or the closing of its
// console window ended: STATUS_CONTROL_C_EXIT, shown by cmd as -1073741510.
static const int endStatus = static_cast<int>(STATUS_CONTROL_C_EXIT);

static std::atomic<bool> eventCame{false};
// Set once the main loop is about to run.
static std::atomic<bool> deferred{false};

// The system runs this on a thread of its own for each console event. Before the main loop the
// process ends here, whatever start-up is doing, as the system's own handler would end it. Once
// the main loop runs, the first event is only recorded; a second one ends the process at once,
// for when the game is stuck before it acts on the first. For a closing console the system ends
// the process as soon as this returns (or some seconds later), so the thread waits for the main
// loop to end it first.
static BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    if (!deferred || eventCame.exchange(true)) {
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(endStatus));
    }
    if (event == CTRL_CLOSE_EVENT) {
        Sleep(INFINITE);
    }
    return TRUE;
}

// A console whose Ctrl-C the starting process turned off (a new process group) keeps it off:
// the system then calls no handler for it.
void catchEndSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void deferEndSignals()
{
    deferred = true;
}

void endOnPendingSignal()
{
    if (!eventCame) {
        return;
    }
    leaveFullScreen();
    quitGame(endStatus);
}
