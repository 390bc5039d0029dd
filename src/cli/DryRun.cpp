#include "cli/DryRun.h"

#include <cstdio>
#include <string>
#include <vector>

#include "batch/PictureFile.h"
#include "batch/PicturePlan.h"
#include "batch/UnwritableFolder.h"
#include "cli/JsonText.h"
#include "platform/PictureList.h"

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

// What the dry run says of one picture: a line of text, or with --json the
// object the real run writes, marked as a dry run.
struct Verdict {
    std::string path, written, outcome, reason, text;
    long long bytes = 0;
    bool resized = false, rotated = false, watermarked = false;
};

void tell(bool json, const Verdict& v)
{
    if (!json) {
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

int dryRun(const std::vector<ProcessingJob>& jobs, bool json)
{
    int unreadable = 0, pictures = 0, resized = 0, turned = 0, failing = 0, there = 0, problems = 0, marked = 0;
    long long bytes = 0;
    for (const ProcessingJob& job : jobs) {
        const std::string folder(job.directory.utf8_str());
        const std::string output(job.outputFolder.utf8_str());
        std::vector<std::string> paths;
        if (!listPictures(folder, job.settings.includeSubdirectories, paths)) {
            std::fprintf(stderr, "tessaly-batch: %s: cannot open the folder\n", folder.c_str());
            ++problems;
            continue;
        }
        if (!output.empty())
            dropOutputFolder(paths, folder, output);
        // As the real run, which says so once and starts nothing.
        std::string why;
        const std::string unwritable = unwritableFolder(paths, output, why);
        if (!unwritable.empty()) {
            std::fprintf(stderr, "tessaly-batch: %s: no picture can be saved there: %s; nothing would be processed\n",
                         unwritable.c_str(), why.c_str());
            ++problems;
            continue;
        }
        for (const std::string& path : paths) {
            const PictureFile file(path);
            const PicturePlan plan = planPicture(file, job);
            Verdict verdict;
            verdict.path = path;
            verdict.written = plan.target;
            verdict.bytes = file.stamp().size;
            verdict.reason = plan.reason;
            std::string what = std::to_string(plan.storedWidth) + "x" + std::to_string(plan.storedHeight);
            what += plan.resized || plan.orientation >= 5
                        ? " -> " + std::to_string(plan.width) + "x" + std::to_string(plan.height)
                        : ", size kept";
            if (const char* turn = turnOf(plan.orientation))
                what += std::string(", ") + turn;
            if (job.settings.useWatermark)
                what += ", watermarked";
            switch (plan.verdict) {
            case PicturePlan::Verdict::unreadable:
                verdict.outcome = "unreadable";
                verdict.text = "skipped, " + plan.reason;
                ++unreadable;
                break;
            case PicturePlan::Verdict::skip:
                verdict.outcome = "skipped";
                verdict.text = "skipped, " + plan.reason;
                ++there;
                break;
            case PicturePlan::Verdict::fail:
                verdict.outcome = "not written";
                verdict.text = what + ", would fail: " + plan.reason;
                ++failing;
                break;
            case PicturePlan::Verdict::process:
                verdict.outcome = "saved";
                verdict.text = what;
                verdict.resized = plan.resized;
                verdict.rotated = turnOf(plan.orientation) != nullptr;
                verdict.watermarked = job.settings.useWatermark;
                ++pictures;
                resized += plan.resized;
                turned += verdict.rotated;
                marked += job.settings.useWatermark;
                bytes += verdict.bytes;
                break;
            }
            tell(json, verdict);
        }
    }
    if (json)
        std::printf("{\"pictures\": %d, \"saved\": %d, \"failed\": %d, \"skipped\": %d, \"resized\": %d, "
                    "\"rotated\": %d, \"watermarked\": %d, \"bytesBefore\": %lld, \"bytesAfter\": 0, "
                    "\"interrupted\": false, \"dry_run\": true}\n",
                    pictures + failing + unreadable + there, pictures, failing + unreadable + problems, there,
                    resized, turned, marked, bytes);
    else
        std::printf("%d pictures would be saved (%d resized, %d turned, %d watermarked), %d would fail, %d skipped; "
                    "nothing was changed\n",
                    pictures, resized, turned, marked, failing, unreadable + there);
    return unreadable + failing + problems;
}
