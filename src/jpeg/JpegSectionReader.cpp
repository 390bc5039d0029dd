#include "jpeg/JpegSectionReader.h"

#include <cstring>
#include <new>

#include "jpeg/ExifParser.h"
#include "jpeg/JpegMarkers.h"
#include "jpeg/SegmentCursor.h"

namespace {

bool hasExifSignature(const JpegSection& section)
{
    return section.size - 2 >= 4 && std::memcmp(section.data.get() + 2, "Exif", 4) == 0;
}

}  // namespace

JpegSectionReader::JpegSectionReader(ExifInfo& info) : info_(info)
{
}

void JpegSectionReader::recordError(const char* message)
{
    std::snprintf(errorText_, sizeof errorText_, "%s", message);
}

void JpegSectionReader::discardLast()
{
    --count_;
    sections_[count_].data.reset();
    sections_[count_].marker = 0;
    sections_[count_].size = 0;
}

bool JpegSectionReader::readSections(std::FILE* stream)
{
    ByteSource source(stream);
    SegmentCursor cursor(source);
    if (!cursor.startOfImage())
        return false;

    bool commentSeen = false;
    for (;;) {
        if (count_ >= maxSections) {
            recordError("Too many sections in jpg file");
            return false;
        }

        // Bytes in front of the marker are passed over as the decoder passes
        // over them; the end of the file stands in as marker code -1.
        const int marker = cursor.nextMarker();
        if (marker == SegmentCursor::tooMuchFill) {
            std::puts("too many padding unsigned chars");
            return false;
        }

        JpegSection& section = sections_[count_];
        section.marker = marker;
        // An end of file inside the length counts as a length below 2.
        const int size = cursor.length();
        if (size < 2) {
            recordError("invalid marker");
            return false;
        }

        section.size = size;
        section.data.reset(new (std::nothrow) unsigned char[size]);
        if (!section.data) {
            recordError("Could not allocate memory");
            return false;
        }
        section.data[0] = static_cast<unsigned char>(size >> 8);
        section.data[1] = static_cast<unsigned char>(size & 0xFF);
        const size_t payload = static_cast<size_t>(size) - 2;
        if (source.read(section.data.get() + 2, payload) != payload) {
            recordError("Premature end of file?");
            return false;
        }

        ++count_;
        switch (marker) {
        case jpegMarker::sos:
            return true;
        case jpegMarker::eoi:
            std::puts("No image in jpeg!");
            return false;
        case jpegMarker::app1:
            if (hasExifSignature(section))
                info_.exifRead = parseExifSegment(*this, section.data.get() + 2, section.size);
            else
                discardLast();
            break;
        case jpegMarker::app0:
            discardLast();
            break;
        case jpegMarker::com:
            if (commentSeen)
                discardLast();
            commentSeen = true;
            break;
        default:
            break;
        }
    }
}
