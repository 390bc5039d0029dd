#pragma once

#include <cstdint>

#include "jpeg/ByteSource.h"
#include "jpeg/HuffmanTable.h"

// The bits of one entropy-coded segment of a JPEG scan, most significant
// first, with the stuffed zero behind every 0xFF data byte taken out. At
// the marker that ends the segment it stops reading and makes up zero
// bits, as decoders do; overrun() tells when the decoding used any of them.
class EntropyReader {
public:
    // The marker met at the end of the file.
    static constexpr int endOfFile = 0x100;

    explicit EntropyReader(ByteSource& source) : source_(source) {}

    // The next count bits (1 to 16) as a number, not yet used.
    unsigned peek(int count)
    {
        if (count_ < count)
            fill();
        return static_cast<unsigned>(bits_ >> (64 - count));
    }
    void use(int count)
    {
        bits_ <<= count;
        count_ -= count;
    }
    // The next count bits (0 to 16), used.
    int take(int count)
    {
        if (count == 0)
            return 0;
        const auto value = static_cast<int>(peek(count));
        use(count);
        return value;
    }
    // A value of count bits (1 to 15) with its sign, as JPEG codes
    // coefficients and their differences.
    int takeSigned(int count)
    {
        const int value = take(count);
        return value < (1 << (count - 1)) ? value - (1 << count) + 1 : value;
    }
    // The symbol of the next code; -1 when the table has no such code.
    int decode(const HuffmanTable& table)
    {
        const std::uint16_t entry = table.look(peek(HuffmanTable::lookBits));
        if (entry == 0)
            return decodeLong(table);
        use(entry >> 8);
        return entry & 0xFF;
    }

    bool overrun() const { return count_ < madeUp_; }

    // Ends the segment: only the fill bits of the last byte may be left,
    // and padding (zero bytes, as cameras write) and fill bytes (0xFF) may
    // stand before the marker. Gives the marker that follows (endOfFile at
    // the end), or -1 when data is left over.
    // The reader is then ready for the next segment.
    int finish();

private:
    int decodeLong(const HuffmanTable& table);
    void fill();
    int reset(int marker);

    ByteSource& source_;
    std::uint64_t bits_ = 0;
    int count_ = 0;   // bits held, made-up ones included
    int madeUp_ = 0;  // zero bits added behind the segment's end
    int marker_ = 0;  // the marker that ended the segment; 0 before it
};
