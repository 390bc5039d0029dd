#include "pixel/JpegReplacer.h"

#include <cstring>

#include "jpeg/IccProfile.h"
#include "jpeg/JpegMarkers.h"
#include "jpeg/JpegSegments.h"
#include "pixel/JpegEncoder.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"
#include "text/Translated.h"

std::vector<unsigned char> jpegBytes(const wxImage& picture, long quality, const std::vector<unsigned char>& iccProfile,
                                     const std::vector<unsigned char>& exif, const std::string& record,
                                     const JpegLayout& layout)
{
    std::vector<unsigned char> bytes = compressJpeg(picture, quality, layout);
    if (bytes.empty())
        return bytes;
    // Behind the JFIF header, in one go and in the order cameras write them:
    // EXIF, the profile, the record.
    std::vector<unsigned char> segments;
    if (!exif.empty())
        appendSegment(segments, jpegMarker::app1, exif.data(), exif.size());
    // A profile too large for the format's 255 chunks is left out: the
    // picture is still worth saving.
    appendIccSegments(segments, iccProfile);
    if (!record.empty())
        appendSegment(segments, jpegMarker::com, reinterpret_cast<const unsigned char*>(record.data()), record.size());
    insertAfterJfif(bytes, segments);
    return bytes;
}

namespace {

std::string cannotWrite(int error)
{
    return said(_("cannot be written: %s"), std::strerror(error != 0 ? error : EIO));
}

// The bytes through a ReplacingFile at the target, all or nothing.
bool writeThrough(const std::string& target, const std::vector<unsigned char>& bytes, bool keepTimes,
                  std::string& problem)
{
    if (bytes.empty()) {
        problem = said(_("cannot be written: nothing to write (an empty box)"));
        return false;
    }
    ReplacingFile file(target);
    if (file.open() && file.write(bytes.data(), bytes.size()) && file.commit(keepTimes))
        return true;
    problem = cannotWrite(file.error());
    return false;
}

}  // namespace

bool replaceFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string* problem)
{
    std::string why;
    if (!isRegularFile(path))
        why = said(_("cannot be written: no longer a regular file"));
    else if (writeThrough(path, bytes, true, why))
        return true;
    if (problem)
        *problem = why;
    return false;
}

