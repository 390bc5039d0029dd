#include "pixel/PictureFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <wx/wfstream.h>

#include "pixel/JpegDecoder.h"
#include "pixel/LoadErrorLog.h"
#include "pixel/PictureLoader.h"
#include "platform/RegularFile.h"
#include "text/Translated.h"

namespace {

// The toolkit's PNG and TIFF loaders hold about 8 bytes a pixel at their
// peak (the decoded rows or raster beside the picture and its alpha).
constexpr std::uint64_t toolkitBytesPerPixel = 8;

}  // namespace

PictureFile::PictureFile(const std::string& path) : path_(path), file_(openRegularFile(path))
{
    if (!file_) {
        openError_ = errno;
        return;
    }
    stamp_ = fileStamp(file_);
    format_ = pictureFormat(file_);
    if (format_ == PictureFormat::jpeg) {
        readJpegHead(file_, head_);
        sized_ = head_.hasFrame;
        width_ = static_cast<std::uint32_t>(head_.frame.width);
        height_ = static_cast<std::uint32_t>(head_.frame.height);
    } else if (format_ != PictureFormat::other) {
        sized_ = ::declaredSize(file_, format_, width_, height_);
    }
    std::rewind(file_);
}

PictureFile::~PictureFile()
{
    if (file_)
        std::fclose(file_);
}

bool PictureFile::declaredSize(std::uint32_t& width, std::uint32_t& height) const
{
    width = width_;
    height = height_;
    return sized_;
}

std::size_t PictureFile::loadingBytes(const FittedSize& target) const
{
    if (!sized_ || width_ == 0 || height_ == 0)
        return pictureMemoryLimit;
    std::uint64_t bytes = 0;
    if (format_ == PictureFormat::jpeg) {
        const int numerator = targetScaleNumerator(static_cast<int>(width_), static_cast<int>(height_), target);
        bytes = 2 * 3 * std::uint64_t(scaledSide(width_, numerator)) * scaledSide(height_, numerator) +
                coefficientBytes(target);
    } else {
        bytes = std::uint64_t(width_) * height_ * toolkitBytesPerPixel;
    }
    // The colour profile is held from the head on: up to 16 MB.
    bytes += head_.iccProfile.size();
    return static_cast<std::size_t>(std::min<std::uint64_t>(bytes, pictureMemoryLimit));
}

std::size_t PictureFile::coefficientBytes(const FittedSize& target) const
{
    if (!sized_ || format_ != PictureFormat::jpeg || !head_.frame.progressive)
        return 0;
    const int numerator = targetScaleNumerator(static_cast<int>(width_), static_cast<int>(height_), target);
    return static_cast<std::size_t>(std::min<std::uint64_t>(head_.frame.coefficientBytes(numerator), pictureMemoryLimit));
}

std::string PictureFile::openProblem() const
{
    return openError_ == EINVAL ? said(_("is not a regular file"))
                                : said(_("cannot be read: %s"), std::strerror(openError_));
}

bool PictureFile::load(const FittedSize& target, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    if (!file_) {
        picture.problem = openProblem();
        return false;
    }
    if (format_ == PictureFormat::other) {
        picture.problem = said(_("not a JPEG, PNG or TIFF picture"));
        return false;
    }
    bool loaded = false;
    if (format_ == PictureFormat::jpeg) {
        loaded = decodeJpeg(file_, target, pictureMemoryLimit, head_, picture, cancel);
    } else if (sized_ && std::uint64_t(width_) * height_ * toolkitBytesPerPixel <= pictureMemoryLimit &&
               width_ > 0 && height_ > 0) {
        std::rewind(file_);
        // The stream takes the file over and closes it.
        wxFFileInputStream stream(file_);
        file_ = nullptr;
        LoadErrorLog errors;
        const wxBitmapType type = format_ == PictureFormat::png ? wxBITMAP_TYPE_PNG : wxBITMAP_TYPE_TIFF;
        loaded = picture.image.LoadFile(stream, type) && !errors.sawError();
        if (loaded) {
            picture.storedWidth = picture.image.GetWidth();
            picture.storedHeight = picture.image.GetHeight();
        } else {
            picture.image = wxImage();
        }
    }
    if (!loaded)
        picture.problem = said(_("does not decode whole (cut short, damaged or too large)"));
    return loaded;
}
