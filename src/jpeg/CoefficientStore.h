#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "jpeg/ZeroedArray.h"

// The coefficients a progressive decode keeps of every block of a
// component until its last scan, and a mark of which of the others are not
// zero (refinement scans need it): the DC coefficient in 16 bits, the AC
// coefficients in 8, a bit for each coefficient not kept. Which kept ones
// are zero their values tell.
// In photographs the AC coefficients pass ±127 about once in a thousand, at
// quality 100 too (the lowest ones, which every decode keeps, most often):
// those few wait in a table beside. Should a picture have more of them than
// the table may hold, every AC coefficient is widened to 16 bits, as much
// memory as they would have taken from the start.
class CoefficientStore {
public:
    // Bytes a store of blocks x kept coefficients takes before any is wide,
    // the marks included.
    static std::uint64_t bytesFor(std::uint64_t blocks, int kept) { return blocks * (kept + 1 + markBytes(kept)); }

    // All coefficients zero; widening may take up to spareBytes more. False
    // when the memory cannot be had.
    bool reset(std::size_t blocks, int kept, std::size_t spareBytes);

    // Bit s - 1: the AC coefficient in slot s is not zero. Inline: every
    // refinement of a block asks.
    std::uint64_t nonzeroSlots(std::size_t block) const
    {
#if defined(__SSE2__)
        if (!wide_) {
            // 16 values a load, the last reaching into the next block or the
            // spare bytes, whose bits are cut off.
            const std::int8_t* values = &narrow_[block * acPerBlock_];
            std::uint64_t bits = 0;
            for (int at = 0; at < acPerBlock_; at += 16) {
                const __m128i loaded = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + at));
                const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(loaded, _mm_setzero_si128()));
                bits |= std::uint64_t(~zeros & 0xFFFF) << at;
            }
            return bits & acMask_;
        }
#endif
        return nonzeroSlotsApart(block);
    }
    // Bit i: the i-th coefficient not kept, counted as the caller counts
    // them, is not zero.
    std::uint64_t nonzeroNotKept(std::size_t block) const
    {
        // Read as 8 bytes, past the last block into the spare ones; x86 is
        // little-endian, as markNotKept counts.
        std::uint64_t bits = 0;
        std::memcpy(&bits, &notKept_[block * markBytes_], sizeof bits);
        return bits & notKeptMask_;
    }
    // Both together: which kept AC coefficients are not zero, then which of
    // the others, 63 bits.
    std::uint64_t nonzeroBits(std::size_t block) const
    {
        return nonzeroSlots(block) | nonzeroNotKept(block) << acPerBlock_;
    }
    void markNotKept(std::size_t block, int index)
    {
        notKept_[block * markBytes_ + index / 8] |= static_cast<std::uint8_t>(1 << index % 8);
    }

    int dc(std::size_t block) const { return dc_[block]; }
    void setDc(std::size_t block, int value) { dc_[block] = static_cast<std::int16_t>(value); }

    // AC coefficient slot (1 to kept - 1) of a block.
    int ac(std::size_t block, int slot) const
    {
        const std::size_t at = block * acPerBlock_ + slot - 1;
        if (wide_)
            return wide_[at];
        const int value = narrow_[at];
        return value != escape ? value : overflow_.at(at);
    }
    // False when widening needed more memory than it may take.
    bool setAc(std::size_t block, int slot, int value)
    {
        const std::size_t at = block * acPerBlock_ + slot - 1;
        if (wide_) {
            wide_[at] = static_cast<std::int16_t>(value);
            return true;
        }
        if (value > escape && value <= 127 && narrow_[at] != escape) {
            narrow_[at] = static_cast<std::int8_t>(value);
            return true;
        }
        return setOutside(at, value);
    }

    // The block's kept coefficients, DC first.
    void values(std::size_t block, int* into) const;

private:
    static constexpr int escape = -128;  // the value waits in overflow_
    static int markBytes(int kept) { return (64 - kept + 7) / 8; }
    bool setOutside(std::size_t at, int value);
    std::uint64_t nonzeroSlotsApart(std::size_t block) const;
    bool widen();

    std::size_t blocks_ = 0;
    int acPerBlock_ = 0;
    std::uint64_t acMask_ = 0;  // a bit for each AC slot
    std::size_t spareBytes_ = 0;
    std::size_t overflowLimit_ = 0;
    int markBytes_ = 0;
    std::uint64_t notKeptMask_ = 0;
    ZeroedArray<std::uint8_t> notKept_;
    ZeroedArray<std::int16_t> dc_;
    ZeroedArray<std::int8_t> narrow_;
    ZeroedArray<std::int16_t> wide_;
    std::unordered_map<std::size_t, std::int16_t> overflow_;
};
