#include "cli/DryRun.h"

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"
#include "batch/PictureList.h"
#include "diag/ResultWriter.h"

namespace {

const char* turnOf(int orientation)
{
    static const char* const turns[] = {nullptr,
                                        nullptr,
                                        "mirrored left to right",
                                        "turned half round",
                                        "mirrored top to bottom",
                                        "turned a quarter clockwise and mirrored",
                                        "turned a quarter clockwise",
                                        "turned a quarter counter-clockwise and mirrored",
                                        "turned a quarter counter-clockwise"};
    return orientation >= 0 && orientation <= 8 ? turns[orientation] : nullptr;
}

// The stored size from the head; false when the file is no picture the
// batch reads.
bool storedSize(const PictureFile& file, long long& width, long long& height, std::string& problem)
{
    std::uint32_t w = 0, h = 0;
    const bool known = file.declaredSize(w, h);
    width = w;
    height = h;
    if (!known)
        problem = file.stamp().size < 0 ? "cannot be read"
                  : file.format() == PictureFormat::other ? "not a JPEG, PNG or TIFF picture"
                                                         : "no readable size in its head";
    return known;
}

}  // namespace

int dryRun(const BatchOptions& options, const std::vector<std::string>& outputs, const std::string& record)
{
    int unreadable = 0, pictures = 0, resized = 0, turned = 0, failing = 0, there = 0, problems = 0;
    for (std::size_t f = 0; f < options.folders.size(); ++f) {
        const std::string& folder = options.folders[f];
        std::vector<std::string> paths;
        if (!listPictures(folder, options.recursive, paths)) {
            std::fprintf(stderr, "tessaly-batch: %s: cannot open the folder\n", folder.c_str());
            ++problems;
            continue;
        }
        const ResultWriter results(outputs[f]);
        if (!outputs[f].empty())
            dropOutputFolder(paths, folder, outputs[f]);
        for (const std::string& path : paths) {
            const PictureFile file(path);
            long long width = 0, height = 0;
            std::string problem;
            if (!storedSize(file, width, height, problem)) {
                std::printf("%s: skipped, %s\n", path.c_str(), problem.c_str());
                ++unreadable;
                continue;
            }
            if (options.skipProcessed && file.jpegHead().record == record) {
                std::printf("%s: skipped, already processed with these settings\n", path.c_str());
                ++there;
                continue;
            }
            long long newWidth = width, newHeight = height;
            bool resizing = false;
            if (options.resize && (width > options.size || height > options.size)) {
                const FittedSize fitted = fitInBox(width, height, options.size, options.size);
                newWidth = fitted.width;
                newHeight = fitted.height;
                resizing = true;
            }
            const JpegHead& head = file.jpegHead();
            const int orientation = options.rotate && head.exifRead ? head.orientation : 0;
            const char* turn = turnOf(orientation);
            if (orientation >= 5)
                std::swap(newWidth, newHeight);
            std::string what = std::to_string(width) + "x" + std::to_string(height);
            what += resizing || orientation >= 5 ? " -> " + std::to_string(newWidth) + "x" + std::to_string(newHeight)
                                                 : ", size kept";
            if (turn)
                what += std::string(", ") + turn;
            if (options.watermark)
                what += ", watermarked";
            // The reasons the real run would not write it.
            std::string fails;
            if (newWidth <= 0 || newHeight <= 0)
                fails = "nothing to write (an empty box)";
            const std::string relative = path.substr(folder.size() + (folder.back() == '/' ? 0 : 1));
            const ResultWriter::Existing existing =
                outputs[f].empty() ? ResultWriter::Existing::none : results.existing(relative);
            if (existing == ResultWriter::Existing::file && options.skipExisting) {
                std::printf("%s: skipped, %s is there already\n", path.c_str(), results.pathOf(relative).c_str());
                ++there;
                continue;
            }
            if (existing == ResultWriter::Existing::link)
                fails = results.pathOf(relative) + " is a symbolic link, which is never followed";
            else if (existing == ResultWriter::Existing::other)
                fails = results.pathOf(relative) + " is not a regular file";
            else if (existing == ResultWriter::Existing::file && !options.overwrite)
                fails = results.pathOf(relative) + " already exists";
            if (!fails.empty()) {
                std::printf("%s: %s, would fail: %s\n", path.c_str(), what.c_str(), fails.c_str());
                ++failing;
                continue;
            }
            ++pictures;
            resized += resizing;
            turned += turn != nullptr;
            std::printf("%s: %s\n", path.c_str(), what.c_str());
        }
    }
    std::printf("%d pictures would be saved (%d resized, %d turned, %d watermarked), %d would fail, %d skipped; "
                "nothing was changed\n",
                pictures, resized, turned, options.watermark ? pictures : 0, failing, unreadable + there);
    return unreadable + failing + problems;
}
