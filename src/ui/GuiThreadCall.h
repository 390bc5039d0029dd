#pragma once

#include <functional>

// Runs the task on the GUI thread and waits until it has run, so that a
// worker's requests reach the windows one after another, in the order
// issued. Called on the GUI thread itself, it runs the task at once.
void runOnGuiThread(const std::function<void()>& task);
