#include "batch/PictureLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <wx/wfstream.h>

#include "batch/FitInBox.h"
#include "batch/JpegDecoder.h"
#include "batch/LoadErrorLog.h"
#include "batch/PictureFormat.h"
#include "diag/RegularFile.h"
#include "jpeg/IccProfile.h"
#include "jpeg/JpegFrame.h"

namespace {

long long reduced(long long size, int denominator)
{
    return (size + denominator - 1) / denominator;
}

// The toolkit's PNG and TIFF loaders hold about 8 bytes a pixel at their
// peak (the decoded rows or raster beside the picture and its alpha).
constexpr std::uint64_t toolkitBytesPerPixel = 8;

// What the toolkit's loader will hold for the PNG or TIFF picture its head
// declares; 0 when the head declares none.
std::uint64_t toolkitLoadingBytes(std::FILE* file, PictureFormat format)
{
    std::uint32_t width = 0, height = 0;
    if (!declaredSize(file, format, width, height))
        return 0;
    return std::uint64_t(width) * height * toolkitBytesPerPixel;
}

// Takes the file over and closes it.
bool loadWithToolkit(std::FILE* file, PictureFormat format, LoadedPicture& picture)
{
    wxFFileInputStream stream(file);
    const std::uint64_t bytes = toolkitLoadingBytes(file, format);
    if (bytes == 0 || bytes > pictureMemoryLimit)
        return false;
    std::rewind(file);
    LoadErrorLog errors;
    const wxBitmapType type = format == PictureFormat::png ? wxBITMAP_TYPE_PNG : wxBITMAP_TYPE_TIFF;
    if (!picture.image.LoadFile(stream, type) || errors.sawError()) {
        picture.image = wxImage();
        return false;
    }
    picture.storedWidth = picture.image.GetWidth();
    picture.storedHeight = picture.image.GetHeight();
    return true;
}

}  // namespace

int jpegScaleDenominator(int width, int height, long long targetWidth, long long targetHeight)
{
    int denominator = 1;
    while (denominator < 8 && reduced(width, denominator * 2) >= 2 * targetWidth &&
           reduced(height, denominator * 2) >= 2 * targetHeight)
        denominator *= 2;
    return denominator;
}

int boxScaleDenominator(int width, int height, int box)
{
    if (box <= 0 || (width <= box && height <= box))
        return 1;
    const FittedSize target = fitInBox(width, height, box, box);
    return jpegScaleDenominator(width, height, target.width, target.height);
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    std::FILE* file = openRegularFile(path);
    if (!file) {
        picture.problem = errno == EINVAL ? std::string("is not a regular file")
                                          : "cannot be read: " + std::string(std::strerror(errno));
        return false;
    }
    const PictureFormat format = pictureFormat(file);
    bool loaded = false;
    if (format == PictureFormat::jpeg) {
        picture.iccProfile = readIccProfile(file);
        std::rewind(file);
        loaded = decodeJpeg(file, box, pictureMemoryLimit, picture, cancel);
        std::fclose(file);
    } else if (format != PictureFormat::other) {
        loaded = loadWithToolkit(file, format, picture);
    } else {
        std::fclose(file);
        picture.problem = "not a JPEG, PNG or TIFF picture";
        return false;
    }
    if (!loaded)
        picture.problem = "does not decode whole (cut short, damaged or too large)";
    return loaded;
}

std::size_t loadingBytesEstimate(const std::string& path, int box)
{
    std::FILE* file = openRegularFile(path);
    if (!file)
        return 0;
    const PictureFormat format = pictureFormat(file);
    std::uint64_t bytes = 0;
    if (format == PictureFormat::jpeg) {
        JpegFrame frame;
        if (readJpegFrame(file, frame) && frame.width > 0 && frame.height > 0) {
            const int denominator = boxScaleDenominator(frame.width, frame.height, box);
            bytes = 2 * 3 * std::uint64_t(reduced(frame.width, denominator)) * reduced(frame.height, denominator);
            if (frame.progressive)
                bytes += frame.coefficientBytes();
        }
    } else if (format != PictureFormat::other) {
        bytes = toolkitLoadingBytes(file, format);
    }
    std::fclose(file);
    return static_cast<std::size_t>(std::min<std::uint64_t>(bytes, pictureMemoryLimit));
}
