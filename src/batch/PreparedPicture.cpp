#include "batch/PreparedPicture.h"

#include "batch/FitInBox.h"
#include "batch/JpegReplacer.h"
#include "batch/Orientation.h"
#include "batch/PictureLoader.h"
#include "batch/Watermark.h"
#include "jpeg/MetadataHandler.h"

bool operator==(const FileStamp& a, const FileStamp& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec &&
           a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec;
}

FileStamp fileStamp(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return {};
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

PreparedPicture preparePicture(const std::string& path, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    PreparedPicture prepared;
    prepared.stamp = fileStamp(path);
    LoadedPicture loaded;
    if (!loadPicture(path, job.resize ? job.maxSize : 0, loaded, cancel)) {
        prepared.problem = loaded.problem;
        return prepared;
    }
    prepared.loaded = true;

    wxImage& picture = loaded.image;
    const int box = job.maxSize;
    if (job.resize && (loaded.storedWidth > box || loaded.storedHeight > box)) {
        prepared.resized = true;
        // The size comes from the stored picture, whatever scale it was decoded at.
        const FittedSize size = fitInBox(loaded.storedWidth, loaded.storedHeight, box, box);
        if (!size.positive())
            picture = wxImage();  // an empty box: nothing can be written
        else if (size.width != picture.GetWidth() || size.height != picture.GetHeight())
            picture = picture.Scale(static_cast<int>(size.width), static_cast<int>(size.height),
                                    wxIMAGE_QUALITY_HIGH);
    }

    if (job.autoRotate) {
        MetadataHandler handler(path.c_str(), false);
        prepared.rotated = handler.readExif() && orientUpright(picture, handler.orientation());
    }

    if (job.watermark) {
        prepared.watermarked = true;
        if (job.watermarkImage)
            ApplyWatermark(picture, *job.watermarkImage, job.alpha, job.placement,
                           [&prepared](const wxString& message, const wxString& caption) {
                               prepared.placementMessage = message;
                               prepared.placementCaption = caption;
                           });
    }

    prepared.jpeg = jpegBytes(picture, quality, loaded.iccProfile);
    return prepared;
}
