#include "platform/InterruptWatcher.h"

#include <csignal>

#include <windows.h>

namespace {

InterruptWatcher* watching = nullptr;

// Windows calls this on a thread of its own. A closed console, a log-off
// or a shut-down ends the process as soon as this returns (or after about
// five seconds): the picture in hand gets that long to be finished, and a
// temporary file that is not is deleted by the system (deleteOnClose).
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (!watching)
        return FALSE;
    watching->interrupted(event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(4500);
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
