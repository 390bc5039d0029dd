#include "ui/ModalScript.h"

#include <gtest/gtest.h>

namespace {

constexpr int pollMilliseconds = 5;
constexpr int maxPolls = 60000 / pollMilliseconds;

}  // namespace

void ModalScript::when(Condition condition, Action action)
{
    condition_ = std::move(condition);
    action_ = std::move(action);
    waited_ = 0;
    Start(pollMilliseconds);
}

void ModalScript::Notify()
{
    if (!condition_)
        return;
    if (!condition_()) {
        if (++waited_ < maxPolls)
            return;
        ADD_FAILURE() << "a scripted step never came to pass";
        condition_ = nullptr;
        Stop();
        if (dialog_.IsModal())
            dialog_.EndModal(wxID_ABORT);
        return;
    }
    condition_ = nullptr;
    Stop();
    // The action may set the next step.
    Action action = std::move(action_);
    action();
}

void ModalScript::run(Action first)
{
    dialog_.CallAfter(std::move(first));
    dialog_.ShowModal();
    Stop();
}
