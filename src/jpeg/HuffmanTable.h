#pragma once

#include <cstdint>

// One Huffman table of a JPEG's DHT segment, ready for decoding: codes up
// to lookBits long are found with one look into a table, longer ones by
// length as the canonical code assigns them.
class HuffmanTable {
public:
    static constexpr int lookBits = 9;

    // counts[i]: how many codes are i + 1 bits long; symbols in code
    // order. False for a table no encoder can write: more than 256 codes,
    // more codes of a length than that length holds, a length filled up
    // to the all-ones code that JPEG reserves, or, for a DC table, a
    // symbol above 15.
    bool build(const std::uint8_t counts[16], const std::uint8_t* symbols, bool dc);
    bool defined() const { return defined_; }

    // For the lookBits bits that come next: (length << 8) | symbol, or 0
    // when the code is longer.
    std::uint16_t look(unsigned bits) const { return look_[bits]; }
    // The symbol of the length-bit code, or -1 when no code has that value.
    int symbol(int length, std::int32_t code) const;

private:
    bool defined_ = false;
    std::uint16_t look_[1 << lookBits] = {};
    std::int32_t maxCode_[17] = {};
    std::int32_t minCode_[17] = {};
    int first_[17] = {};
    std::uint8_t symbols_[256] = {};
};
