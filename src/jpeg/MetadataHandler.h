#pragma once

#include <memory>
#include <string>

#include "diag/TraceLog.h"
#include "jpeg/ExifInfo.h"

// Reads the EXIF orientation of one picture file. Lives for one picture:
// construct, readExif() once, orientation(), destroy.
class MetadataHandler {
public:
    // The path is borrowed, not copied: the caller keeps it alive.
    MetadataHandler(const char* path, bool logEnabled);
    virtual ~MetadataHandler();

    MetadataHandler(const MetadataHandler&) = delete;
    MetadataHandler& operator=(const MetadataHandler&) = delete;

    // True when an Exif section was parsed. Never throws, never reports.
    bool readExif();
    // Meaningful after readExif() returned true; 0 means none known.
    int orientation() const { return info_.orientation; }
    // Adds a line of the batch's own to the picture's trace.
    void note(const std::string& line) { log_->write(line); }

private:
    const char* path_;
    ExifInfo info_;
    std::unique_ptr<TraceLog> log_;
};
