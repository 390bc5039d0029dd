#include "cli/InterruptWatcher.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <unistd.h>
#endif

void InterruptWatcher::interrupted(int signal)
{
    if (asking_()) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
        _exit(128 + signal);
    }
    signal_ = signal;
    stop_();
}

#ifdef _WIN32

namespace {

InterruptWatcher* watching = nullptr;

// Windows calls this on a thread of its own.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (!watching)
        return FALSE;
    watching->interrupted(event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    return TRUE;
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<bool()> asking, std::function<void()> stop)
    : asking_(std::move(asking)), stop_(std::move(stop))
{
    watching = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptWatcher::~InterruptWatcher()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    watching = nullptr;
}

#else

InterruptWatcher::InterruptWatcher(std::function<bool()> asking, std::function<void()> stop)
    : asking_(std::move(asking)), stop_(std::move(stop))
{
    // A reader of standard output that goes away ends the run through
    // failed writes, not through SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    thread_ = std::thread([this, signals] {
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal != SIGUSR1)
            interrupted(signal);
    });
}

InterruptWatcher::~InterruptWatcher()
{
    pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
}

#endif
