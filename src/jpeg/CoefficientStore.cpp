#include "jpeg/CoefficientStore.h"

#include <algorithm>

namespace {

// What a value in the table costs, its node and its bucket together.
constexpr std::size_t overflowEntryBytes = 48;
// Past the last block, so that a block's coefficients and marks may be read
// in whole vectors and words.
constexpr std::size_t spareAtEnd = 16;

}  // namespace

bool CoefficientStore::reset(std::size_t blocks, int kept, std::size_t spareBytes)
{
    blocks_ = blocks;
    acPerBlock_ = kept - 1;
    acMask_ = (std::uint64_t(1) << acPerBlock_) - 1;
    spareBytes_ = spareBytes;
    const std::size_t acCount = blocks * acPerBlock_;
    // The table may grow to a quarter of the narrow coefficients' bytes.
    overflowLimit_ = std::min(spareBytes, acCount / 4) / overflowEntryBytes;
    std::unordered_map<std::size_t, std::int16_t>().swap(overflow_);
    wide_.reset();
    markBytes_ = markBytes(kept);
    notKeptMask_ = (std::uint64_t(1) << (64 - kept)) - 1;
    notKept_ = zeroedArray<std::uint8_t>(blocks * markBytes_ + spareAtEnd);
    dc_ = zeroedArray<std::int16_t>(blocks);
    narrow_ = zeroedArray<std::int8_t>(acCount + spareAtEnd);
    return notKept_ && dc_ && narrow_;
}

// Widened values, or no vectors.
std::uint64_t CoefficientStore::nonzeroSlotsApart(std::size_t block) const
{
    const std::size_t first = block * acPerBlock_;
    std::uint64_t bits = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (int at = 0; at < acPerBlock_; at += 16) {
        const auto* values = reinterpret_cast<const __m128i*>(&wide_[first + at]);
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(_mm_loadu_si128(values), zero),
                                              _mm_cmpeq_epi16(_mm_loadu_si128(values + 1), zero));
        bits |= std::uint64_t(~_mm_movemask_epi8(zeros) & 0xFFFF) << at;
    }
#else
    for (int k = 0; k < acPerBlock_; ++k)
        if (wide_ ? wide_[first + k] != 0 : narrow_[first + k] != 0)
            bits |= std::uint64_t(1) << k;
#endif
    return bits & acMask_;
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
    wide_ = zeroedArray<std::int16_t>(acCount + spareAtEnd);
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
