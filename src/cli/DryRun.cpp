#include "cli/DryRun.h"

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

}  // namespace

std::string dryRunLine(const PictureReport& report, bool watermarking, const std::string& writing)
{
    const PicturePlan& plan = report.plan;
    if (report.outcome == PictureReport::Outcome::unreadable)
        return report.path + ": would fail: " + report.reason;
    if (report.outcome == PictureReport::Outcome::skipped)
        return report.path + ": skipped, " + plan.reason;
    std::string what = std::to_string(plan.storedWidth) + "x" + std::to_string(plan.storedHeight);
    what += plan.resized || plan.orientation >= 5
                ? " -> " + std::to_string(plan.width) + "x" + std::to_string(plan.height)
                : ", size kept";
    if (const char* turn = turnOf(plan.orientation))
        what += std::string(", ") + turn;
    if (watermarking)
        what += plan.watermarkText.empty() ? ", watermarked" : ", watermarked with \"" + plan.watermarkText + "\"";
    what += writing;
    if (report.outcome == PictureReport::Outcome::notWritten)
        what += ", would fail: " + plan.reason;
    return report.path + ": " + what;
}
