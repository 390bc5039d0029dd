#include "jpeg/TiffData.h"

std::uint16_t decode16(const unsigned char* p, bool bigEndian)
{
    return bigEndian ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                     : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t decode32(const unsigned char* p, bool bigEndian)
{
    const std::uint32_t first = decode16(p, bigEndian);
    const std::uint32_t second = decode16(p + 2, bigEndian);
    return bigEndian ? first << 16 | second : second << 16 | first;
}

std::uint64_t decode64(const unsigned char* p, bool bigEndian)
{
    const std::uint64_t first = decode32(p, bigEndian);
    const std::uint64_t second = decode32(p + 4, bigEndian);
    return bigEndian ? first << 32 | second : second << 32 | first;
}

bool TiffData::bytes(std::uint64_t offset, std::uint64_t count, const unsigned char*& out) const
{
    if (!contains(offset, count))
        return false;
    out = data_ + offset;
    return true;
}

bool TiffData::read16(std::uint64_t offset, bool bigEndian, std::uint16_t& out) const
{
    const unsigned char* p = nullptr;
    if (!bytes(offset, 2, p))
        return false;
    out = decode16(p, bigEndian);
    return true;
}

bool TiffData::read32(std::uint64_t offset, bool bigEndian, std::uint32_t& out) const
{
    const unsigned char* p = nullptr;
    if (!bytes(offset, 4, p))
        return false;
    out = decode32(p, bigEndian);
    return true;
}
