#pragma once

#include <cstddef>
#include <vector>

#include "jpeg/ByteSource.h"

// Walks the marker segments at the head of a JPEG stream by the rule libjpeg
// reads them by, so that every reader of a head finds what the decoder
// finds: between two segments any bytes but a marker are passed over
// (libjpeg warns of "extraneous bytes" and goes on), and so are 0xFF fill
// and stuffed zeros. Bounded: at most maxFill bytes in front of a marker.
class SegmentCursor {
public:
    static constexpr int maxFill = 65536;
    // What nextMarker gives instead of a marker code.
    static constexpr int end = -1;        // the stream ended
    static constexpr int tooMuchFill = -2;  // no marker within maxFill bytes

    explicit SegmentCursor(ByteSource& source) : source_(source) {}

    // Whether the stream starts with the start-of-image marker, 0xFF 0xD8.
    bool startOfImage();
    // The next marker code, or end or tooMuchFill.
    int nextMarker();
    // Between the scans of a progressive picture only 0xFF fill may stand in
    // front of a marker: anything else is data left over, and gives end.
    int nextMarkerAfterScan();
    // The segment's length field, counting itself; -1 when the stream ends.
    int length() { return source_.next16(); }
    // Exactly size bytes of payload; false when the stream ends first.
    bool read(std::vector<unsigned char>& payload, std::size_t size);
    bool skip(std::size_t size) { return source_.skip(size); }

private:
    int markerCode(bool skipOtherBytes);

    ByteSource& source_;
};
