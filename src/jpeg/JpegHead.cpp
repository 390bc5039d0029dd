#include "jpeg/JpegHead.h"

#include <cstring>

#include "jpeg/ExifInfo.h"
#include "jpeg/ExifParser.h"
#include "jpeg/JpegMarkers.h"
#include "jpeg/JpegSectionReader.h"
#include "jpeg/SegmentCursor.h"
#include "jpeg/TiffData.h"
#include "jpeg/XmpPacket.h"

namespace {

constexpr char iccSignature[] = "ICC_PROFILE";  // with its terminating zero: 12 bytes
constexpr std::size_t iccSignatureSize = sizeof iccSignature;
constexpr int maxIccChunks = 255;

// Start-of-frame markers: C0..CF but for DHT (C4), JPG (C8) and DAC (CC).
bool isFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressive(int marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

// payload: the segment behind its length field.
bool readFrame(const std::vector<unsigned char>& payload, int marker, JpegFrame& frame)
{
    // Precision, height, width, count, then 3 bytes a component.
    if (payload.size() < 6)
        return false;
    const int components = payload[5];
    if (components < 1 || components > JpegFrame::maxComponents || payload.size() < 6 + 3 * std::size_t(components))
        return false;
    frame.height = payload[1] << 8 | payload[2];
    frame.width = payload[3] << 8 | payload[4];
    frame.progressive = isProgressive(marker);
    frame.components = components;
    for (int c = 0; c < components; ++c) {
        frame.horizontal[c] = payload[6 + 3 * c + 1] >> 4;
        frame.vertical[c] = payload[6 + 3 * c + 1] & 15;
        if (frame.horizontal[c] < 1 || frame.horizontal[c] > 4 || frame.vertical[c] < 1 || frame.vertical[c] > 4)
            return false;
    }
    return true;
}

// The chunks of an ICC profile in whatever order they come, numbered
// 1..count.
class IccChunks {
public:
    bool isChunk(const std::vector<unsigned char>& payload) const
    {
        return payload.size() >= iccSignatureSize + 2 &&
               std::memcmp(payload.data(), iccSignature, iccSignatureSize) == 0;
    }

    void add(const std::vector<unsigned char>& payload)
    {
        const int number = payload[iccSignatureSize];
        const int count = payload[iccSignatureSize + 1];
        if (number < 1 || number > count || (count_ != 0 && count != count_) || !chunks_[number].empty())
            broken_ = true;
        if (broken_)
            return;
        count_ = count;
        chunks_[number].assign(payload.begin() + iccSignatureSize + 2, payload.end());
        // An empty chunk must still count as seen.
        chunks_[number].insert(chunks_[number].begin(), 1);
    }

    std::vector<unsigned char> profile() const
    {
        std::vector<unsigned char> profile;
        if (broken_ || count_ == 0)
            return profile;
        for (int number = 1; number <= count_; ++number) {
            if (chunks_[number].empty())
                return {};
            profile.insert(profile.end(), chunks_[number].begin() + 1, chunks_[number].end());
        }
        if (profile.size() < 4 || decode32(profile.data(), true) != profile.size())
            return {};
        return profile;
    }

private:
    std::vector<unsigned char> chunks_[maxIccChunks + 1];
    int count_ = 0;
    bool broken_ = false;
};

}  // namespace

bool readJpegHead(std::FILE* stream, JpegHead& head)
{
    ByteSource source(stream);
    SegmentCursor cursor(source);
    if (!cursor.startOfImage())
        return false;
    IccChunks icc;
    bool reachedScan = false;
    std::vector<unsigned char> payload;
    for (int segment = 0; segment < maxHeadSegments; ++segment) {
        const int marker = cursor.nextMarker();
        if (marker < 0 || marker == jpegMarker::eoi)
            break;
        const int length = cursor.length();
        if (length < 2 || !cursor.read(payload, static_cast<std::size_t>(length - 2)))
            break;
        if (marker == jpegMarker::sos) {
            reachedScan = true;
            break;
        }
        if (isFrameMarker(marker) && !head.hasFrame) {
            head.hasFrame = readFrame(payload, marker, head.frame);
            if (!head.hasFrame)
                break;
        } else if (marker == jpegMarker::app2 && icc.isChunk(payload)) {
            icc.add(payload);
        } else if (marker == jpegMarker::app1 && payload.size() >= 4 && std::memcmp(payload.data(), "Exif", 4) == 0) {
            // The parser reports through a section reader, as for the trace log.
            ExifInfo info;
            info.orientation = head.orientation;
            JpegSectionReader context(info);
            head.exifRead = parseExifSegment(context, payload.data(), static_cast<int>(payload.size()) + 2);
            head.orientation = info.orientation;
            head.exif = payload;
        } else if (marker == jpegMarker::app1 && payload.size() > sizeof xmpSignature &&
                   std::memcmp(payload.data(), xmpSignature, sizeof xmpSignature) == 0) {
            const std::string packet(payload.begin() + sizeof xmpSignature, payload.end());
            head.xmpDateTaken = xmpDateTaken(packet);
            head.xmpCreator = xmpText(packet, "dc:creator");
            head.xmpRights = xmpText(packet, "dc:rights");
            head.xmpLens = xmpText(packet, "aux:Lens");
            if (head.xmpLens.empty())
                head.xmpLens = xmpText(packet, "exifEX:LensModel");
        } else if (marker == jpegMarker::com && payload.size() > std::strlen(recordPrefix) &&
                   std::memcmp(payload.data(), recordPrefix, std::strlen(recordPrefix)) == 0) {
            head.record.assign(payload.begin(), payload.end());
        }
    }
    head.iccProfile = icc.profile();
    return reachedScan && head.hasFrame;
}
