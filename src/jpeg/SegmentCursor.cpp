#include "jpeg/SegmentCursor.h"

#include "jpeg/JpegMarkers.h"

bool SegmentCursor::startOfImage()
{
    return source_.next() == 0xFF && source_.next() == jpegMarker::soi;
}

int SegmentCursor::nextMarker()
{
    return markerCode(true);
}

int SegmentCursor::nextMarkerAfterScan()
{
    const int code = markerCode(false);
    return code == tooMuchFill ? end : code;
}

bool SegmentCursor::read(std::vector<unsigned char>& payload, std::size_t size)
{
    payload.resize(size);
    return source_.read(payload.data(), size) == size;
}

// libjpeg's next_marker: up to an 0xFF, past the 0xFF fill behind it, and
// on when the code is a stuffed zero.
int SegmentCursor::markerCode(bool skipOtherBytes)
{
    int passed = 0;
    int byte = source_.next();
    for (;;) {
        while (byte >= 0 && byte != 0xFF) {
            if (!skipOtherBytes)
                return end;
            if (++passed > maxFill)
                return tooMuchFill;
            byte = source_.next();
        }
        if (byte < 0)
            return end;
        do
            byte = source_.next();
        while (byte == 0xFF && ++passed <= maxFill);
        if (byte == 0xFF)
            return tooMuchFill;
        if (byte < 0)
            return end;
        if (byte != 0)
            return byte;
        if (!skipOtherBytes)
            return end;
        byte = source_.next();
    }
}
