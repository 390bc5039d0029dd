#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

// Reads a file's bytes in order through one buffer, from where the file
// stands. Every read is bounded by what the file holds: at its end next()
// gives -1, and skip() false.
class ByteSource {
public:
    explicit ByteSource(std::FILE* file);

    int next()
    {
        if (at_ == end_ && !refill())
            return -1;
        return buffer_[at_++];
    }
    // A big-endian 16-bit number; -1 at the end.
    int next16();
    bool skip(std::size_t count);
    // Up to count bytes into out; how many there were.
    std::size_t read(unsigned char* out, std::size_t count);

private:
    bool refill();

    std::FILE* file_;
    std::vector<unsigned char> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
};
