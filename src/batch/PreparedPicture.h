#pragma once

#include <atomic>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <wx/string.h>

#include "batch/ProcessingJob.h"

// What a file looked like: a picture prepared from it is written only while
// it still looks so, never over content it was not made from.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};
};
bool operator==(const FileStamp& a, const FileStamp& b);
// The stamp of the file at a UTF-8 path as it is now; size -1 when missing.
FileStamp fileStamp(const std::string& path);

// One picture made ready for its file, everything but the writing: loaded
// (at a reduced scale where the box allows), fitted, turned, watermarked and
// encoded. Made on any thread; the worker commits it in list order.
struct PreparedPicture {
    FileStamp stamp;  // the file as it was before it was read
    bool loaded = false;
    std::string problem;  // why it did not load
    bool resized = false;
    bool rotated = false;
    bool watermarked = false;
    // The blend's report of a wrong placement code, for the worker to show.
    wxString placementMessage;
    wxString placementCaption;
    // The new file's content; empty when there is nothing to write (an
    // empty box).
    std::vector<unsigned char> jpeg;
};

// Prepares the picture at a UTF-8 path for the job at the quality. A set
// cancel flag cuts a long decode short; the result then counts as not
// loaded. Reads the orientation without writing the trace log, which only
// the worker writes, in list order.
PreparedPicture preparePicture(const std::string& path, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel);
