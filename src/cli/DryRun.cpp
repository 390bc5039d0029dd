#include "cli/DryRun.h"

#include "text/Translated.h"

namespace {

// The turn an orientation asks for, in the user's words; empty for none.
std::string turnOf(int orientation)
{
    static const char* const turns[] = {nullptr,
                                        nullptr,
                                        wxTRANSLATE("mirrored left to right"),
                                        wxTRANSLATE("turned half round"),
                                        wxTRANSLATE("mirrored top to bottom"),
                                        wxTRANSLATE("turned a quarter clockwise and mirrored"),
                                        wxTRANSLATE("turned a quarter clockwise"),
                                        wxTRANSLATE("turned a quarter counter-clockwise and mirrored"),
                                        wxTRANSLATE("turned a quarter counter-clockwise")};
    return orientation >= 0 && orientation <= 8 && turns[orientation] ? said(wxGetTranslation(turns[orientation]))
                                                                       : std::string();
}

}  // namespace

std::string dryRunLine(const PictureReport& report, bool watermarking, const std::string& writing)
{
    const PicturePlan& plan = report.plan;
    if (report.outcome == PictureReport::Outcome::unreadable)
        return said(_("%s: would fail: %s"), report.path, report.reason);
    if (report.outcome == PictureReport::Outcome::skipped)
        return said(_("%s: skipped, %s"), report.path, plan.reason);
    std::string what = std::to_string(plan.storedWidth) + "x" + std::to_string(plan.storedHeight);
    what += plan.resized || plan.orientation >= 5 || plan.frame != FitMode::box
                ? " -> " + std::to_string(plan.width) + "x" + std::to_string(plan.height)
                : said(_(", size kept"));
    CropWindow crop;
    if (originalCrop(plan, crop))
        what += said(_(", cropped to %s of the picture"), std::to_string(crop.width) + "x" + std::to_string(crop.height) +
                                                              "+" + std::to_string(crop.x) + "+" + std::to_string(crop.y));
    const std::string turn = turnOf(plan.orientation);
    if (!turn.empty())
        what += ", " + turn;
    // A text mark whose tokens all came out empty is not drawn.
    if (watermarking && report.watermarked)
        what += plan.watermarkText.empty() ? said(_(", watermarked"))
                                           : said(_(", watermarked with \"%s\""), plan.watermarkText);
    what += writing;
    if (report.outcome == PictureReport::Outcome::notWritten)
        what += said(_(", would fail: %s"), plan.reason);
    return report.path + ": " + what;
}
