#include "platform/InterruptWatcher.h"

#include <csignal>

#include <pthread.h>

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
