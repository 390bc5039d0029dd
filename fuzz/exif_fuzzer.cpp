// Feeds arbitrary bytes through the section reader with the Exif parser, the
// path MetadataHandler::readExif takes for a file, and through the head
// reader the batch uses: frame, ICC chunks and the same Exif parser; then
// the EXIF data the head kept through the rewrite that --keep-exif writes.
#include <cstdint>
#include <cstdio>

#include "jpeg/ExifParser.h"
#include "jpeg/ExifRewriter.h"
#include "jpeg/JpegHead.h"
#include "jpeg/JpegSectionReader.h"
#include "jpeg/TiffData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!stream)
        return 0;
    ExifInfo info;
    {
        JpegSectionReader reader(info);
        reader.readSections(stream);
    }
    std::rewind(stream);
    JpegHead head;
    readJpegHead(stream, head);
    std::fclose(stream);
    const std::vector<unsigned char>& profile = head.iccProfile;
    if (info.orientation < 0 || info.orientation > 8 || head.orientation < 0 || head.orientation > 8)
        __builtin_trap();
    // A profile is whole: as long as its own header says.
    if (!profile.empty() && decode32(profile.data(), true) != profile.size())
        __builtin_trap();
    if (!head.exif.empty()) {
        ExifChanges changes;
        changes.width = 800;
        changes.height = 600;
        changes.upright = true;
        changes.keepGps = true;
        const std::vector<unsigned char> rebuilt = rewriteExif(head.exif.data(), head.exif.size(), changes);
        // It fits one segment, and what it writes reads back.
        if (rebuilt.size() > maxExifPayload)
            __builtin_trap();
        ExifInfo again;
        JpegSectionReader reader(again);
        if (!rebuilt.empty() && !parseExifSegment(reader, rebuilt.data(), static_cast<int>(rebuilt.size()) + 2))
            __builtin_trap();
    }
    return 0;
}
