#pragma once

#include <atomic>
#include <functional>
#include <thread>

// Ctrl-C and SIGTERM (on Windows Ctrl-C, Ctrl-Break and a closed console)
// while tessaly-batch runs: at the question, the program ends at once with
// nothing touched; during a batch, stop() ends it after the picture in hand.
// On Linux a thread of its own waits for the signals, which no other thread
// may see; construct it before any other thread starts.
class InterruptWatcher {
public:
    InterruptWatcher(std::function<bool()> asking, std::function<void()> stop);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

    // The signal that interrupted the run (SIGINT, SIGTERM); 0 while none has.
    int signal() const { return signal_; }

    // What to do with the signal; exits the program when it came at the question.
    void interrupted(int signal);

private:
    std::function<bool()> asking_;
    std::function<void()> stop_;
    std::atomic<int> signal_{0};
    std::thread thread_;
};
