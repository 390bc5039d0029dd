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
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MessageRecorder recorder;

    // GTK finishes destroying windows (and its file chooser's watch on the
    // folder) only when events run: that must happen before the folder goes.
    void TearDown() override;

    static void writePrefs(const std::string& text);
};

// Sends what a click on the button sends.
void click(wxButton* button);
