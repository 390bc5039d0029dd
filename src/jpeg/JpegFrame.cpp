#include "jpeg/JpegFrame.h"

#include <algorithm>

#include "jpeg/JpegSectionReader.h"

namespace {

// Start-of-frame markers: C0..CF but for DHT (C4), JPG (C8) and DAC (CC).
bool isFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressive(int marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

std::uint64_t blocks(int size, int factor, int maxFactor)
{
    // The component's own size, rounded up to whole 8 x 8 blocks.
    const std::uint64_t samples = (std::uint64_t(size) * factor + maxFactor - 1) / maxFactor;
    return (samples + 7) / 8;
}

}  // namespace

std::uint64_t JpegFrame::coefficientBytes() const
{
    const int maxH = *std::max_element(horizontal, horizontal + maxComponents);
    const int maxV = *std::max_element(vertical, vertical + maxComponents);
    std::uint64_t bytes = 0;
    for (int c = 0; c < components; ++c)
        bytes += blocks(width, horizontal[c], maxH) * blocks(height, vertical[c], maxV) * 64 * 2;
    return bytes;
}

bool readJpegFrame(std::FILE* stream, JpegFrame& frame)
{
    ExifInfo info;
    JpegSectionReader reader(info);
    reader.readSections(stream);
    for (int i = 0; i < reader.count(); ++i) {
        const JpegSection& section = reader.section(i);
        // Length, precision, height, width, count, then 3 bytes a component.
        if (!isFrameMarker(section.marker) || section.size < 8)
            continue;
        const unsigned char* p = section.data.get();
        const int components = p[7];
        if (components < 1 || components > JpegFrame::maxComponents || section.size < 8 + 3 * components)
            return false;
        frame.height = p[3] << 8 | p[4];
        frame.width = p[5] << 8 | p[6];
        frame.progressive = isProgressive(section.marker);
        frame.components = components;
        for (int c = 0; c < components; ++c) {
            frame.horizontal[c] = p[8 + 3 * c + 1] >> 4;
            frame.vertical[c] = p[8 + 3 * c + 1] & 15;
            if (frame.horizontal[c] < 1 || frame.horizontal[c] > 4 || frame.vertical[c] < 1 || frame.vertical[c] > 4)
                return false;
        }
        return true;
    }
    return false;
}
