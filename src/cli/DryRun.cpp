#include "cli/DryRun.h"

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"
#include "platform/PictureList.h"
#include "batch/ProcessingRecord.h"
#include "batch/UnwritableFolder.h"
#include "cli/JsonText.h"
#include "platform/ResultWriter.h"

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

// What the dry run says of one picture: a line of text, or with --json the
// object the real run writes, marked as a dry run.
struct Verdict {
    std::string path, written, outcome, reason, text;
    long long bytes = 0;
    bool resized = false, rotated = false, watermarked = false;
};

void tell(const BatchOptions& options, const Verdict& v)
{
    if (!options.json) {
        std::printf("%s: %s\n", v.path.c_str(), v.text.c_str());
        return;
    }
    std::printf("{\"path\": %s, \"written\": %s, \"outcome\": %s, \"reason\": %s, \"bytesBefore\": %lld, "
                "\"bytesAfter\": 0, \"resized\": %s, \"rotated\": %s, \"watermarked\": %s, \"dry_run\": true}\n",
                jsonText(v.path).c_str(), jsonText(v.written).c_str(), jsonText(v.outcome).c_str(),
                jsonText(v.reason).c_str(), v.bytes, jsonFlag(v.resized).c_str(), jsonFlag(v.rotated).c_str(),
                jsonFlag(v.watermarked).c_str());
}

}  // namespace

int dryRun(const BatchOptions& options, const std::vector<std::string>& outputs, const std::string& record)
{
    int unreadable = 0, pictures = 0, resized = 0, turned = 0, failing = 0, there = 0, problems = 0;
    long long bytes = 0;
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
        // As the real run, which says so once and starts nothing.
        std::string why;
        const std::string unwritable = unwritableFolder(paths, outputs[f], why);
        if (!unwritable.empty()) {
            std::fprintf(stderr, "tessaly-batch: %s: no picture can be saved there: %s; nothing would be processed\n",
                         unwritable.c_str(), why.c_str());
            ++problems;
            continue;
        }
        for (const std::string& path : paths) {
            const PictureFile file(path);
            const std::string relative = path.substr(folder.size() + (folder.back() == '/' ? 0 : 1));
            Verdict verdict;
            verdict.path = path;
            verdict.written = outputs[f].empty() ? path : results.pathOf(relative);
            verdict.bytes = file.stamp().size;
            long long width = 0, height = 0;
            std::string problem;
            if (!storedSize(file, width, height, problem)) {
                verdict.outcome = "unreadable";
                verdict.reason = problem;
                verdict.text = "skipped, " + problem;
                tell(options, verdict);
                ++unreadable;
                continue;
            }
            if (options.skipProcessed && carriesRecord(file.jpegHead().record, record)) {
                verdict.outcome = "skipped";
                verdict.reason = "already processed with these settings";
                verdict.text = "skipped, " + verdict.reason;
                tell(options, verdict);
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
            const ResultWriter::Existing existing =
                outputs[f].empty() ? ResultWriter::Existing::none : results.existing(relative);
            if (existing == ResultWriter::Existing::file && options.skipExisting) {
                verdict.outcome = "skipped";
                verdict.reason = results.pathOf(relative) + " is there already";
                verdict.text = "skipped, " + verdict.reason;
                tell(options, verdict);
                ++there;
                continue;
            }
            if (existing == ResultWriter::Existing::link)
                fails = results.pathOf(relative) + " is a symbolic link, which is never followed";
            else if (existing == ResultWriter::Existing::other)
                fails = results.pathOf(relative) + " is not a regular file";
            else if (existing == ResultWriter::Existing::file && !options.overwrite)
                fails = results.pathOf(relative) + " already exists" +
                        existingResultNote(results.pathOf(relative), path);
            if (!fails.empty()) {
                verdict.outcome = "not written";
                verdict.reason = fails;
                verdict.text = what + ", would fail: " + fails;
                tell(options, verdict);
                ++failing;
                continue;
            }
            verdict.outcome = "saved";
            verdict.text = what;
            verdict.resized = resizing;
            verdict.rotated = turn != nullptr;
            verdict.watermarked = options.watermark;
            tell(options, verdict);
            ++pictures;
            resized += resizing;
            turned += turn != nullptr;
            bytes += verdict.bytes;
        }
    }
    if (options.json)
        std::printf("{\"pictures\": %d, \"saved\": %d, \"failed\": %d, \"skipped\": %d, \"resized\": %d, "
                    "\"rotated\": %d, \"watermarked\": %d, \"bytesBefore\": %lld, \"bytesAfter\": 0, "
                    "\"interrupted\": false, \"dry_run\": true}\n",
                    pictures + failing + unreadable + there, pictures, failing + unreadable + problems, there,
                    resized, turned, options.watermark ? pictures : 0, bytes);
    else
        std::printf("%d pictures would be saved (%d resized, %d turned, %d watermarked), %d would fail, %d skipped; "
                    "nothing was changed\n",
                    pictures, resized, turned, options.watermark ? pictures : 0, failing, unreadable + there);
    return unreadable + failing + problems;
}
