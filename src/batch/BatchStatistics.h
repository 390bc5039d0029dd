#pragma once

#include <string>

// What a batch did, counted over the pictures saved.
struct BatchStatistics {
    int resized = 0;
    int rotated = 0;
    int watermarked = 0;
    // Pictures that could not be read, when the batch went on past them.
    int skipped = 0;
    bool wentOnPastUnreadable = false;
    // Results already in the output folder, left as they were.
    int alreadyThere = 0;
    // Pictures that carried this batch's processing record.
    int alreadyProcessed = 0;
    // Pictures that could not be written, and the first of them with why.
    int notSaved = 0;
    std::string firstNotSaved;
    // Pictures saved over the size limit at the lowest quality, the first named.
    int overLimit = 0;
    std::string firstOverLimit;

    void countNotSaved(const std::string& what)
    {
        if (notSaved++ == 0)
            firstNotSaved = what;
    }
};
