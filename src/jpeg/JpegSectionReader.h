#pragma once

#include <cstdio>

#include "jpeg/ExifInfo.h"
#include "jpeg/JpegSection.h"

// Walks the marker segments at the head of a JPEG stream up to the first
// start-of-scan, keeping them in a fixed table, and hands Exif APP1 payloads
// to the Exif parser. Never reads the compressed image data.
class JpegSectionReader {
public:
    static constexpr int maxSections = 20;
    static constexpr int errorTextSize = 256;

    explicit JpegSectionReader(ExifInfo& info);

    JpegSectionReader(const JpegSectionReader&) = delete;
    JpegSectionReader& operator=(const JpegSectionReader&) = delete;

    // Reads from the stream's current position, and ahead of the scan; the
    // caller opened it in binary mode and closes it. True when an SOS
    // section was reached.
    bool readSections(std::FILE* stream);

    // Replaces the whole error text with the message.
    void recordError(const char* message);
    const char* errorText() const { return errorText_; }

    ExifInfo& info() { return info_; }
    int count() const { return count_; }
    const JpegSection& section(int index) const { return sections_[index]; }

    // Byte order of the Exif data being parsed; owned by the Exif parser.
    bool bigEndian = false;

private:
    void discardLast();

    ExifInfo& info_;
    char errorText_[errorTextSize] = {};
    JpegSection sections_[maxSections];
    int count_ = 0;
};
