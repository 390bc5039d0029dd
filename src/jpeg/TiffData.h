#pragma once

#include <cstddef>
#include <cstdint>

// Bounded, read-only view of the TIFF data inside one Exif block. Every read
// is checked here, by subtraction in 64-bit arithmetic, so no caller can
// reach past the block. Numbers are assembled by shifts in the given order.
class TiffData {
public:
    TiffData(const unsigned char* data, std::size_t length) : data_(data), length_(length) {}

    std::size_t length() const { return length_; }

    // True when count bytes starting at offset lie inside the data.
    bool contains(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= length_ && count <= length_ - offset;
    }

    // Each returns false, and leaves out alone, when the bytes are not there.
    bool read16(std::uint64_t offset, bool bigEndian, std::uint16_t& out) const;
    bool read32(std::uint64_t offset, bool bigEndian, std::uint32_t& out) const;
    // Points at count bytes starting at offset.
    bool bytes(std::uint64_t offset, std::uint64_t count, const unsigned char*& out) const;

private:
    const unsigned char* data_;
    std::size_t length_;
};

// Byte-order helpers for buffers the caller has already bounded.
std::uint16_t decode16(const unsigned char* p, bool bigEndian);
std::uint32_t decode32(const unsigned char* p, bool bigEndian);
std::uint64_t decode64(const unsigned char* p, bool bigEndian);
