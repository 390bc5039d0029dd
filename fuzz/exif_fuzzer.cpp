// Feeds arbitrary bytes through the section reader and the Exif parser, the
// path MetadataHandler::readExif takes for a file.
#include <cstdint>
#include <cstdio>

#include "jpeg/JpegSectionReader.h"

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
    std::fclose(stream);
    if (info.orientation < 0 || info.orientation > 8)
        __builtin_trap();
    return 0;
}
