#include "jpeg/MetadataHandler.h"

#include <cstdio>

#include "jpeg/JpegSectionReader.h"

MetadataHandler::MetadataHandler(const char* path, bool logEnabled)
    : path_(path), log_(std::make_unique<TraceLog>("./MetadataHandler.log", logEnabled))
{
    log_->write("MetadataHandler.log");
    log_->write("-------------------");
}

MetadataHandler::~MetadataHandler() = default;

bool MetadataHandler::readExif()
{
    // Paths are UTF-8 bytes, which fopen takes as they are.
    std::FILE* stream = std::fopen(path_, "rb");
    if (!stream)
        return false;
    info_ = ExifInfo{};
    {
        JpegSectionReader reader(info_);
        reader.readSections(stream);
    }
    std::fclose(stream);
    return info_.exifRead;
}
