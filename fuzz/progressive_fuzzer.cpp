// Feeds arbitrary bytes through the progressive decoder at half and at a
// quarter of the picture's size: whatever the bytes, it must decline or
// hand over exactly the rows of the size it reports, each once, in order.
#include <cstdint>
#include <cstdio>

#include "jpeg/ProgressiveDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const int numerator : {2, 4}) {
        std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
        if (!stream)
            return 0;
        ProgressiveDecoder decoder(stream, 1000);
        if (decoder.readHead()) {
            const int height = (decoder.height() * numerator + 7) / 8;
            int next = 0;
            const auto outcome = decoder.decode(numerator, std::size_t(64) << 20,
                                                [&](int row, const unsigned char*) {
                                                    if (row != next++)
                                                        __builtin_trap();
                                                });
            if (outcome == ProgressiveDecoder::Outcome::decoded && next != height)
                __builtin_trap();
        }
        std::fclose(stream);
    }
    return 0;
}
