#include "jpeg/HuffmanTable.h"

#include <algorithm>
#include <iterator>

bool HuffmanTable::build(const std::uint8_t counts[16], const std::uint8_t* symbols, bool dc)
{
    defined_ = false;
    std::fill(std::begin(look_), std::end(look_), 0);
    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        if (index + count > 256)
            return false;
        first_[length] = index;
        minCode_[length] = code;
        maxCode_[length] = count > 0 ? code + count - 1 : -1;
        for (int i = 0; i < count; ++i, ++index, ++code) {
            if ((dc && symbols[index] > 15) || code >= (std::int32_t(1) << length))
                return false;
            symbols_[index] = symbols[index];
            if (length <= lookBits) {
                const int shift = lookBits - length;
                const auto entry = static_cast<std::uint16_t>(length << 8 | symbols[index]);
                std::fill(look_ + (code << shift), look_ + ((code + 1) << shift), entry);
            }
        }
        if (code >= (std::int32_t(1) << length))
            return false;
        code <<= 1;
    }
    defined_ = true;
    return true;
}

int HuffmanTable::symbol(int length, std::int32_t code) const
{
    if (code > maxCode_[length])
        return -1;
    return symbols_[first_[length] + code - minCode_[length]];
}
