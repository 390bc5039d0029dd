#include "batch/ProcessingRecord.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "Version.h"
#include "batch/PicturePlan.h"
#include "diag/FixedNumber.h"
#include "jpeg/JpegHead.h"
#include "pixel/WebpWriter.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"
#include "settings/SettingFields.h"
#include "text/Translated.h"

namespace {

// FNV-1a, 64 bits: enough to tell settings apart, and no secret to keep.
class Digest {
public:
    void add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i)
            value_ = (value_ ^ bytes[i]) * 0x100000001b3ULL;
    }
    void add(const std::string& text) { add(text.data(), text.size() + 1); }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

std::string hexOf(std::uint64_t value)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return hex;
}

// The original named by its full path, whatever way it was reached; as a
// digest, so that a published picture does not carry its owner's folders.
std::string sourceMark(const std::string& original)
{
    Digest digest;
    digest.add(fullPath(original));
    return " from " + hexOf(digest.value());
}

// The fields taken by key, in order; a text mark's only while it is drawn.
std::vector<std::string> keyedLines(const BatchSettings& settings, bool text)
{
    std::vector<std::string> lines;
    forEachSetting(settings, [&lines, text](const SettingRow& row, const auto& value) {
        if (row.record == InRecord::byKey || (row.record == InRecord::byKeyWithText && text))
            lines.push_back(std::string(row.key) + " " + settingText(value));
    });
    return lines;
}

}  // namespace

std::string resultRecord(const std::string& record, const std::string& original)
{
    return record + sourceMark(original);
}

bool carriesRecord(const std::string& found, const std::string& record)
{
    return !record.empty() && found.compare(0, record.size(), record) == 0 &&
           (found.size() == record.size() || found.compare(record.size(), 6, " from ") == 0);
}

std::string resultFileRecord(const std::string& path)
{
    std::FILE* file = openRegularFile(path);
    if (!file)
        return {};
    std::vector<unsigned char> start(12);
    start.resize(std::fread(start.data(), 1, start.size(), file));
    std::string record;
    if (isWebp(start)) {
        // Results are small: a WebP file is read whole, up to a bound.
        constexpr std::size_t mostBytes = 256u << 20;
        unsigned char block[65536];
        std::size_t got = 0;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0 && start.size() <= mostBytes)
            start.insert(start.end(), block, block + got);
        record = webpRecord(start);
    } else if (std::fseek(file, 0, SEEK_SET) == 0) {
        JpegHead head;
        readJpegHead(file, head);
        record = head.record;
    }
    std::fclose(file);
    return record;
}

bool isResultOf(const std::string& resultPath, const std::string& original)
{
    const std::string record = resultFileRecord(resultPath);
    const std::string mark = sourceMark(original);
    return record.size() > mark.size() && record.compare(record.size() - mark.size(), mark.size(), mark) == 0;
}

std::string existingResultNote(const std::string& resultPath, const std::string& original)
{
    return isResultOf(resultPath, original)
               ? said(_(": an earlier result of this picture (--skip-existing leaves it, --overwrite replaces it)"))
               : said(_(": no result of this picture, but another picture's or a file of your own (--overwrite would "
                        "replace it)"));
}

std::string processingRecord(const ProcessingJob& job)
{
    const BatchSettings& s = job.settings;
    Digest digest;
    digest.add("resize " + std::to_string(s.resize ? s.width : 0));
    // Only a fit other than the box, so that the box's records stay as they were.
    const SizeRule rule = resolveSettings(s).fit;
    if (s.resize && rule.mode != FitMode::box)
        digest.add("fit " + sizeRuleText(rule));
    // What a frame keeps, or puts around the picture, only with that frame.
    if (s.resize && rule.mode == FitMode::cover)
        digest.add("focus " + s.focus);
    if (s.resize && rule.mode == FitMode::contain)
        digest.add("background " + s.background);
    digest.add("rotate " + std::to_string(s.rotate));
    digest.add("srgb " + std::to_string(s.convertToSrgb));
    digest.add("quality " + std::to_string(s.quality));
    const bool text = s.useWatermark && s.textWatermark;
    const wxImage* mark = s.useWatermark && !text ? job.watermarkImage : nullptr;
    if (mark && mark->IsOk()) {
        digest.add("watermark " + std::to_string(mark->GetWidth()) + "x" + std::to_string(mark->GetHeight()));
        digest.add(mark->GetData(), std::size_t(3) * mark->GetWidth() * mark->GetHeight());
        if (mark->HasAlpha())
            digest.add(mark->GetAlpha(), std::size_t(mark->GetWidth()) * mark->GetHeight());
        else
            digest.add("opacity " + formatFixed(s.alpha, 6));
        // Its version for bright ground, by its pixels too.
        const wxImage* bright = job.brightWatermarkImage;
        if (bright && bright->IsOk()) {
            digest.add("bright " + std::to_string(bright->GetWidth()) + "x" + std::to_string(bright->GetHeight()));
            digest.add(bright->GetData(), std::size_t(3) * bright->GetWidth() * bright->GetHeight());
            if (bright->HasAlpha())
                digest.add(bright->GetAlpha(), std::size_t(bright->GetWidth()) * bright->GetHeight());
        }
    }
    if ((mark && mark->IsOk()) || text) {
        digest.add("placement " + std::to_string(s.wmPlacement));
        digest.add("size " + formatFixed(s.watermarkSize, 6) + " margin " + formatFixed(s.watermarkMargin, 6));
    }
    if (text)
        digest.add("text opacity " + formatFixed(s.alpha, 6));
    // Settings added since the fixed part, by their keys and only away from
    // their defaults: a picture done before such a setting existed keeps
    // its record while the setting is left alone.
    const std::vector<std::string> chosen = keyedLines(s, text), defaults = keyedLines(BatchSettings{}, text);
    for (std::size_t i = 0; i < chosen.size(); ++i)
        if (chosen[i] != defaults[i])
            digest.add(chosen[i]);
    return std::string(recordPrefix) + TESSALY_VERSION " settings " + hexOf(digest.value());
}
