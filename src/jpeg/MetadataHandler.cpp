#include "jpeg/MetadataHandler.h"

#include <cstdio>

#include "platform/RegularFile.h"
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
    std::FILE* stream = openRegularFile(path_);
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
