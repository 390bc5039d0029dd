#pragma once

#include <functional>

#include <wx/dialog.h>
#include <wx/timer.h>

// Drives a dialog from inside its own modal loop, as a user would: each
// step waits (polling on a timer) until its condition holds, then acts.
// A step that never comes to pass fails the test and ends the loop.
class ModalScript : public wxTimer {
public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;

    explicit ModalScript(wxDialog& dialog) : dialog_(dialog) {}

    // Waits for the condition, then runs the action.
    void when(Condition condition, Action action);
    // Shows the dialog modally; returns once the loop has ended.
    void run(Action first);

protected:
    void Notify() override;

private:
    wxDialog& dialog_;
    Condition condition_;
    Action action_;
    int waited_ = 0;
};
