#pragma once

#include <memory>

// One marker segment as read from the file: the two length bytes followed
// by the payload, size bytes in all.
struct JpegSection {
    int marker = 0;  // 0x00..0xFE, or -1 when the end of the file stood there
    int size = 0;    // the length field, counting its own two bytes
    std::unique_ptr<unsigned char[]> data;
};
