#include "platform/InterruptWatcher.h"

#include <cstdio>
#include <cstdlib>

void InterruptWatcher::interrupted(int signal)
{
    if (asking_()) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
        std::_Exit(128 + signal);
    }
    signal_ = signal;
    stop_();
}
