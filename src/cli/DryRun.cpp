#include "cli/DryRun.h"

#include <cstdio>
#include <string>
#include <vector>

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"
#include "batch/PictureList.h"

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

int dryRun(const BatchOptions& options)
{
    int skipped = 0, pictures = 0, resized = 0, turned = 0, problems = 0;
    for (const std::string& folder : options.folders) {
        std::vector<std::string> paths;
        if (!listPictures(folder, options.recursive, paths)) {
            std::fprintf(stderr, "tessaly-batch: %s: cannot open the folder\n", folder.c_str());
            ++problems;
            continue;
        }
        for (const std::string& path : paths) {
            const PictureFile file(path);
            long long width = 0, height = 0;
            std::string problem;
            if (!storedSize(file, width, height, problem)) {
                std::printf("%s: skipped, %s\n", path.c_str(), problem.c_str());
                ++skipped;
                continue;
            }
            ++pictures;
            std::string what = std::to_string(width) + "x" + std::to_string(height);
            if (options.resize && (width > options.size || height > options.size)) {
                const FittedSize fitted = fitInBox(width, height, options.size, options.size);
                what += " -> " + std::to_string(fitted.width) + "x" + std::to_string(fitted.height);
                ++resized;
            } else {
                what += ", size kept";
            }
            if (options.rotate) {
                const JpegHead& head = file.jpegHead();
                const char* turn = head.exifRead ? turnOf(head.orientation) : nullptr;
                if (turn) {
                    what += std::string(", ") + turn;
                    ++turned;
                }
            }
            if (options.watermark)
                what += ", watermarked";
            std::printf("%s: %s\n", path.c_str(), what.c_str());
        }
    }
    std::printf("%d pictures would be saved (%d resized, %d turned, %d watermarked), %d skipped; nothing was "
                "changed\n",
                pictures, resized, turned, options.watermark ? pictures : 0, skipped);
    return skipped + problems;
}
