#include "jpeg/IccProfile.h"

#include <algorithm>
#include <cstring>

#include "jpeg/JpegMarkers.h"
#include "jpeg/JpegSegments.h"

namespace {

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
    std::vector<unsigned char> segments;
    return appendIccSegments(segments, profile) && insertAfterJfif(jpeg, segments);
}

bool appendIccSegments(std::vector<unsigned char>& segments, const std::vector<unsigned char>& profile)
{
    const std::size_t chunks = (profile.size() + maxChunkData - 1) / maxChunkData;
    if (chunks > maxChunks)
        return false;
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::size_t start = i * maxChunkData;
        const std::size_t size = std::min(maxChunkData, profile.size() - start);
        std::vector<unsigned char> chunk(signature, signature + signatureSize);
        chunk.push_back(static_cast<unsigned char>(i + 1));
        chunk.push_back(static_cast<unsigned char>(chunks));
        chunk.insert(chunk.end(), profile.begin() + static_cast<std::ptrdiff_t>(start),
                     profile.begin() + static_cast<std::ptrdiff_t>(start + size));
        appendSegment(segments, jpegMarker::app2, chunk.data(), chunk.size());
    }
    return true;
}
