#include "jpeg/IccProfile.h"

#include <algorithm>
#include <cstring>


namespace {

constexpr int markerAPP0 = 0xE0;
constexpr int markerAPP2 = 0xE2;
constexpr char signature[] = "ICC_PROFILE";  // with its terminating zero: 12 bytes
constexpr std::size_t signatureSize = sizeof signature;
// Behind the length: the signature, the chunk's number and the count.
constexpr std::size_t chunkHeaderSize = signatureSize + 2;
constexpr std::size_t maxChunkData = 65535 - 2 - chunkHeaderSize;
constexpr std::size_t maxChunks = 255;

}  // namespace

bool embedIccProfile(std::vector<unsigned char>& jpeg, const std::vector<unsigned char>& profile)
{
    if (profile.empty())
        return true;
    const std::size_t chunks = (profile.size() + maxChunkData - 1) / maxChunkData;
    if (chunks > maxChunks || jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return false;
    std::size_t at = 2;
    if (jpeg[2] == 0xFF && jpeg[3] == markerAPP0 && jpeg.size() >= 6)
        at += 2 + (std::size_t(jpeg[4]) << 8 | jpeg[5]);
    if (at > jpeg.size())
        return false;
    std::vector<unsigned char> segments;
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::size_t start = i * maxChunkData;
        const std::size_t size = std::min(maxChunkData, profile.size() - start);
        const std::size_t length = 2 + chunkHeaderSize + size;
        segments.insert(segments.end(), {0xFF, markerAPP2, static_cast<unsigned char>(length >> 8),
                                         static_cast<unsigned char>(length)});
        segments.insert(segments.end(), signature, signature + signatureSize);
        segments.push_back(static_cast<unsigned char>(i + 1));
        segments.push_back(static_cast<unsigned char>(chunks));
        segments.insert(segments.end(), profile.begin() + static_cast<std::ptrdiff_t>(start),
                        profile.begin() + static_cast<std::ptrdiff_t>(start + size));
    }
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), segments.begin(), segments.end());
    return true;
}
