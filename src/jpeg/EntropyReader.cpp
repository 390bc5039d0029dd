#include "jpeg/EntropyReader.h"

int EntropyReader::decodeLong(const HuffmanTable& table)
{
    const auto code = static_cast<std::int32_t>(peek(16));
    for (int length = HuffmanTable::lookBits + 1; length <= 16; ++length) {
        const int symbol = table.symbol(length, code >> (16 - length));
        if (symbol >= 0) {
            use(length);
            return symbol;
        }
    }
    return -1;
}

void EntropyReader::fill()
{
    while (count_ <= 56) {
        int byte = 0;
        if (marker_ == 0) {
            byte = source_.next();
            if (byte == 0xFF) {
                int code;
                do
                    code = source_.next();
                while (code == 0xFF);
                if (code != 0)
                    marker_ = code < 0 ? endOfFile : code;
            } else if (byte < 0) {
                marker_ = endOfFile;
            }
        }
        if (marker_ != 0) {
            byte = 0;
            madeUp_ += 8;
        }
        bits_ |= std::uint64_t(byte) << (56 - count_);
        count_ += 8;
    }
}

int EntropyReader::finish()
{
    // Whole bytes read ahead but not used may only be padding.
    const int left = count_ - madeUp_;
    if (left < 0 || (left >= 8 && (bits_ << (left % 8)) != 0))
        return -1;
    if (marker_ == 0) {
        int byte = source_.next();
        while (byte == 0)
            byte = source_.next();
        if (byte != 0xFF)
            return byte < 0 ? reset(endOfFile) : -1;
        do
            byte = source_.next();
        while (byte == 0xFF);
        if (byte == 0)
            return -1;
        marker_ = byte < 0 ? endOfFile : byte;
    }
    return reset(marker_);
}

int EntropyReader::reset(int marker)
{
    bits_ = 0;
    count_ = madeUp_ = marker_ = 0;
    return marker;
}
