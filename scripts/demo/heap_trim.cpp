// Loaded into the game by the soak (LD_PRELOAD): hands the pages of freed heap memory back to
// the system four times a second, so the game's resident size is the memory it holds.
//
// Without it, glibc keeps freed memory that lies below a chunk still in use. The software GL
// driver compiles a shader when a drawing state first comes up and frees the tens of MB that
// took; a small allocation made meanwhile pins the whole block in the resident size for the rest
// of the run, a step that a leak check cannot tell from a leak. Memory still in use stays.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

static void* trimForever(void*)
{
    for (;;) {
        usleep(250000);
        malloc_trim(0);
    }
    return nullptr;
}

__attribute__((constructor)) static void startTrimming()
{
    // The thread takes no signals, so the game's end signals reach the game's own threads.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    pthread_t thread;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_create(&thread, &attr, trimForever, nullptr);
    pthread_attr_destroy(&attr);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}
