#pragma once

#include "jpeg/JpegHead.h"

// The next marker code of a JPEG stream whose bytes next() hands out one by
// one (-1 at the end), as the head reader and the progressive decoder both
// find it: behind 0xFF fill, and, where bytes may be skipped as libjpeg
// skips them in a head, behind other bytes and stuffed zeros too. At most
// maxHeadFill bytes are passed over; -1 when no marker comes within them.
template <typename NextByte>
int nextMarkerCode(NextByte next, bool skipOtherBytes)
{
    int passed = 0;
    int byte = next();
    for (;;) {
        while (byte >= 0 && byte != 0xFF) {
            if (!skipOtherBytes || ++passed > maxHeadFill)
                return -1;
            byte = next();
        }
        if (byte < 0)
            return -1;
        do
            byte = next();
        while (byte == 0xFF && ++passed <= maxHeadFill);
        if (byte == 0xFF || byte < 0)
            return -1;
        if (byte != 0)
            return byte;
        if (!skipOtherBytes)
            return -1;
        byte = next();
    }
}
