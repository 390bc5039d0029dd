#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/modalhook.h>

// Answers the program's message boxes instead of a user and records them
// as "caption|message". Other dialogs are left to show themselves.
class MessageRecorder : public wxModalDialogHook {
public:
    MessageRecorder() { Register(); }
    ~MessageRecorder() override { Unregister(); }

    std::vector<std::string> messages;
    // Answers for Yes/No boxes, in turn; Yes when none is left.
    std::deque<int> yesNoAnswers;
    // Texts typed into text entry dialogs, in turn; Cancel when none is left.
    std::deque<std::string> textAnswers;
    // Whether to tick a box's check box ("Do not show this again ..."),
    // and how many boxes offered one.
    bool tickCheckBoxes = false;
    int checkBoxesOffered = 0;
    // Called for each box before it is answered.
    std::function<void(const std::string& captionAndMessage)> onMessage;

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};
