#include "platform/InterruptWatcher.h"

#include <csignal>

#include <windows.h>

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
