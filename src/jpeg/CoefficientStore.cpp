#include "jpeg/CoefficientStore.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// What a value in the table costs, its node and its bucket together.
constexpr std::size_t overflowEntryBytes = 48;

}  // namespace

bool CoefficientStore::reset(std::size_t blocks, int kept, std::size_t spareBytes)
{
    blocks_ = blocks;
    acPerBlock_ = kept - 1;
    spareBytes_ = spareBytes;
    const std::size_t acCount = blocks * acPerBlock_;
    // The table may grow to a quarter of the narrow coefficients' bytes.
    overflowLimit_ = std::min(spareBytes, acCount / 4) / overflowEntryBytes;
    std::unordered_map<std::size_t, std::int16_t>().swap(overflow_);
    wide_.reset();
    nonzero_.reset();
    if (kept < 64) {
        nonzero_ = zeroedArray<std::uint64_t>(blocks);
        if (!nonzero_)
            return false;
    }
    dc_ = zeroedArray<std::int16_t>(blocks);
    narrow_ = zeroedArray<std::int8_t>(acCount);
    return dc_ && narrow_;
}

std::uint64_t CoefficientStore::nonzeroSlots(std::size_t block) const
{
    const std::size_t first = block * acPerBlock_;
#if defined(__SSE2__)
    if (!wide_ && acPerBlock_ == 63) {
        // Four loads of 16 bytes, the last overlapping the third by one.
        const auto nonzeroAt = [&](int at) {
            const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&narrow_[first + at]));
            const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(values, _mm_setzero_si128()));
            return std::uint64_t(~zeros & 0xFFFF) << at;
        };
        return nonzeroAt(0) | nonzeroAt(16) | nonzeroAt(32) | nonzeroAt(47);
    }
#endif
    std::uint64_t bits = 0;
    for (int k = 0; k < acPerBlock_; ++k)
        if (wide_ ? wide_[first + k] != 0 : narrow_[first + k] != 0)
            bits |= std::uint64_t(1) << k;
    return bits;
}

void CoefficientStore::values(std::size_t block, int* into) const
{
    into[0] = dc_[block];
    const std::size_t first = block * acPerBlock_;
    if (wide_) {
        std::copy_n(&wide_[first], acPerBlock_, into + 1);
        return;
    }
    // Widened in one vector loop; the rare value beyond a byte is looked up after.
    const std::int8_t* narrow = &narrow_[first];
    bool escaped = false;
    for (int k = 0; k < acPerBlock_; ++k) {
        into[k + 1] = narrow[k];
        escaped |= narrow[k] == escape;
    }
    if (escaped)
        for (int k = 0; k < acPerBlock_; ++k)
            if (narrow[k] == escape)
                into[k + 1] = overflow_.at(first + k);
}

bool CoefficientStore::setOutside(std::size_t at, int value)
{
    if (value > escape && value <= 127) {
        overflow_.erase(at);
        narrow_[at] = static_cast<std::int8_t>(value);
        return true;
    }
    narrow_[at] = escape;
    overflow_[at] = static_cast<std::int16_t>(value);
    return overflow_.size() <= overflowLimit_ || widen();
}

bool CoefficientStore::widen()
{
    const std::size_t acCount = blocks_ * acPerBlock_;
    if (acCount * sizeof(std::int16_t) > spareBytes_)
        return false;
    wide_ = zeroedArray<std::int16_t>(acCount);
    if (!wide_)
        return false;
    for (std::size_t at = 0; at < acCount; ++at)
        wide_[at] = narrow_[at];
    for (const auto& [at, value] : overflow_)
        wide_[at] = value;
    narrow_.reset();
    std::unordered_map<std::size_t, std::int16_t>().swap(overflow_);
    return true;
}
