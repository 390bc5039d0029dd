#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "jpeg/ZeroedArray.h"

// The coefficients a progressive decode keeps of every block of a
// component until its last scan, and a mark of which of all 64 are not
// zero (refinement scans need it for those not kept too): the DC
// coefficient in 16 bits, the AC coefficients in 8. Where all 64 are kept,
// their values tell which are zero and no marks are kept, a ninth less.
// In photographs the AC coefficients pass ±127 about once in a thousand, at
// quality 100 too (the lowest ones, which every decode keeps, most often):
// those few wait in a table beside. Should a picture have more of them than
// the table may hold, every AC coefficient is widened to 16 bits, as much
// memory as they would have taken from the start.
class CoefficientStore {
public:
    // Bytes a store of blocks x kept coefficients takes before any is wide,
    // the marks included.
    static std::uint64_t bytesFor(std::uint64_t blocks, int kept)
    {
        return blocks * (kept + 1 + (kept < 64 ? sizeof(std::uint64_t) : 0));
    }

    // All coefficients zero; widening may take up to spareBytes more. False
    // when the memory cannot be had.
    bool reset(std::size_t blocks, int kept, std::size_t spareBytes);

    // Marks are kept: not all 64 coefficients are.
    bool marked() const { return static_cast<bool>(nonzero_); }
    // Where marked, bit z: the coefficient at zigzag position z is not zero.
    std::uint64_t& nonzero(std::size_t block) { return nonzero_[block]; }
    std::uint64_t nonzero(std::size_t block) const { return nonzero_[block]; }
    // Bit s - 1: the AC coefficient in slot s is not zero.
    std::uint64_t nonzeroSlots(std::size_t block) const;

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
    bool setOutside(std::size_t at, int value);
    bool widen();

    std::size_t blocks_ = 0;
    int acPerBlock_ = 0;
    std::size_t spareBytes_ = 0;
    std::size_t overflowLimit_ = 0;
    ZeroedArray<std::uint64_t> nonzero_;
    ZeroedArray<std::int16_t> dc_;
    ZeroedArray<std::int8_t> narrow_;
    ZeroedArray<std::int16_t> wide_;
    std::unordered_map<std::size_t, std::int16_t> overflow_;
};
