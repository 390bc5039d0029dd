#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/FileStamp.h"
#include "pixel/FitInBox.h"
#include "pixel/PictureFormat.h"
#include "jpeg/JpegHead.h"

struct LoadedPicture;

// A picture file opened for the batch, its head read once: what it looked
// like when opened, its format, the size it declares and, for a JPEG, its
// colour profile and EXIF orientation. Loading then decodes the very file
// that was opened.
class PictureFile {
public:
    // Opens the regular file at a UTF-8 path and reads its head.
    explicit PictureFile(const std::string& path);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    const std::string& path() const { return path_; }
    bool opened() const { return openError_ == 0; }
    // Why it could not be opened, in the system's words.
    std::string openProblem() const;
    const FileStamp& stamp() const { return stamp_; }
    PictureFormat format() const { return format_; }
    // The size the head declares; false when it declares none.
    bool declaredSize(std::uint32_t& width, std::uint32_t& height) const;
    // Empty for anything but a JPEG.
    const JpegHead& jpegHead() const { return head_; }

    // About how many bytes loading and shrinking the picture to the target
    // will hold at its peak: the decoded pixels twice (the picture and its
    // fitted copy) and, for a progressive JPEG, the coefficients libjpeg
    // keeps of the whole stored picture, and the colour profile held from
    // the head. pictureMemoryLimit, the most any picture may cost, when the
    // head declares no size.
    std::size_t loadingBytes(const FittedSize& target) const;
    // Of those, the coefficients a progressive JPEG holds until its last
    // scan; 0 for any other picture.
    std::size_t coefficientBytes(const FittedSize& target) const;

    // Decodes the picture, shrunk to the target size ({0, 0}: its own), at
    // a reduced scale where the target allows (see loadPicture). False,
    // with picture.problem saying why, when it cannot.
    bool load(const FittedSize& target, LoadedPicture& picture, const std::atomic<bool>* cancel);

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    int openError_ = 0;
    FileStamp stamp_;
    PictureFormat format_ = PictureFormat::other;
    JpegHead head_;
    bool sized_ = false;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
};
