#pragma once

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "jpeg/ExifBuilder.h"
#include "jpeg/JpegSectionReader.h"

// The outcome of one readSections pass over bytes given as a stream.
struct ReaderRun {
    bool result = false;
    ExifInfo info;
    std::string errorText;
    std::string output;  // what the pass wrote to standard output
    int count = 0;
    std::vector<int> markers;

    explicit ReaderRun(const Bytes& bytes, ExifInfo start = {}) : info(start)
    {
        std::FILE* stream = std::tmpfile();
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), stream);
        std::rewind(stream);
        testing::internal::CaptureStdout();
        {
            JpegSectionReader reader(info);
            result = reader.readSections(stream);
            errorText = reader.errorText();
            count = reader.count();
            for (int i = 0; i < count; ++i)
                markers.push_back(reader.section(i).marker);
        }
        std::fflush(stdout);
        output = testing::internal::GetCapturedStdout();
        std::fclose(stream);
    }
};
