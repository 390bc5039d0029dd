#pragma once

#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "ui/MessageRecorder.h"

class wxButton;

// A test in its own working folder, with message boxes answered by a
// recorder. Subclasses destroy their windows in TearDown before calling
// this one.
class GuiTest : public testing::Test {
protected:
    TempDir& dir = lastingFolder();
    WorkingDirectory cwd{dir.path()};
    MessageRecorder recorder;

    // GTK finishes destroying windows only when events run.
    void TearDown() override;

    // A new folder that is removed only when the process ends: GTK's file
    // chooser keeps watching the folder it was created in, past its window,
    // and reports the folder's removal in a modal box of its own the next
    // time events run, which would hold a later test forever.
    static TempDir& lastingFolder();

    static void writePrefs(const std::string& text);
};

// Sends what a click on the button sends.
void click(wxButton* button);
