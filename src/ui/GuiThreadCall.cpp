#include "ui/GuiThreadCall.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include <wx/app.h>
#include <wx/thread.h>

namespace {

struct Completion {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
};

}  // namespace

void runOnGuiThread(const std::function<void()>& task)
{
    if (wxThread::IsMain()) {
        task();
        return;
    }
    auto completion = std::make_shared<Completion>();
    wxTheApp->CallAfter([task, completion] {
        task();
        std::lock_guard<std::mutex> lock(completion->mutex);
        completion->done = true;
        completion->changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(completion->mutex);
    completion->changed.wait(lock, [&completion] { return completion->done; });
}
