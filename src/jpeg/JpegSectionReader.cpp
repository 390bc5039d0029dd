#include "jpeg/JpegSectionReader.h"

#include <cstring>
#include <new>

#include "jpeg/ExifParser.h"
#include "jpeg/JpegMarkers.h"

namespace {

// Up to six 0xFF fill bytes may stand in front of a marker code.
constexpr int maxMarkerSearch = 7;

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
    if (std::fgetc(stream) != 0xFF || std::fgetc(stream) != 0xD8)
        return false;

    bool commentSeen = false;
    for (;;) {
        if (count_ >= maxSections) {
            recordError("Too many sections in jpg file");
            return false;
        }

        int marker = 0xFF;
        for (int tries = 0; tries < maxMarkerSearch && marker == 0xFF; ++tries)
            marker = std::fgetc(stream);  // EOF is -1, taken as the marker code
        if (marker == 0xFF) {
            std::puts("too many padding unsigned chars");
            return false;
        }

        JpegSection& section = sections_[count_];
        section.marker = marker;
        // An end of file inside the length counts as a length below 2.
        const int high = std::fgetc(stream);
        const int low = high < 0 ? -1 : std::fgetc(stream);
        const int size = low < 0 ? -1 : high * 256 + low;
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
        section.data[0] = static_cast<unsigned char>(high);
        section.data[1] = static_cast<unsigned char>(low);
        const size_t payload = static_cast<size_t>(size) - 2;
        if (std::fread(section.data.get() + 2, 1, payload, stream) != payload) {
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
