#include "jpeg/JpegSegments.h"

#include "jpeg/JpegMarkers.h"

namespace {

constexpr std::size_t maxSegmentPayload = 65535 - 2;

}  // namespace

bool appendSegment(std::vector<unsigned char>& out, int marker, const unsigned char* payload, std::size_t size)
{
    if (size > maxSegmentPayload)
        return false;
    const std::size_t length = size + 2;
    out.insert(out.end(), {0xFF, static_cast<unsigned char>(marker), static_cast<unsigned char>(length >> 8),
                           static_cast<unsigned char>(length)});
    out.insert(out.end(), payload, payload + size);
    return true;
}

bool insertAfterJfif(std::vector<unsigned char>& jpeg, const std::vector<unsigned char>& segments)
{
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return false;
    std::size_t at = 2;
    if (jpeg[2] == 0xFF && jpeg[3] == jpegMarker::app0 && jpeg.size() >= 6)
        at += 2 + (std::size_t(jpeg[4]) << 8 | jpeg[5]);
    if (at > jpeg.size())
        return false;
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), segments.begin(), segments.end());
    return true;
}
