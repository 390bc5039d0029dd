#include "batch/ProcessingRecord.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "Version.h"
#include "diag/FixedNumber.h"
#include "platform/RegularFile.h"
#include "jpeg/JpegHead.h"

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
    std::error_code error;
    const std::filesystem::path full = std::filesystem::weakly_canonical(original, error);
    Digest digest;
    digest.add(error ? original : full.string());
    return " from " + hexOf(digest.value());
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

bool isResultOf(const std::string& resultPath, const std::string& original)
{
    std::FILE* file = openRegularFile(resultPath);
    if (!file)
        return false;
    JpegHead head;
    readJpegHead(file, head);
    std::fclose(file);
    const std::string mark = sourceMark(original);
    return head.record.size() > mark.size() &&
           head.record.compare(head.record.size() - mark.size(), mark.size(), mark) == 0;
}

std::string existingResultNote(const std::string& resultPath, const std::string& original)
{
    return isResultOf(resultPath, original)
               ? ": an earlier result of this picture (--skip-existing leaves it, --overwrite replaces it)"
               : ": no result of this picture, but another picture's or a file of your own (--overwrite would "
                 "replace it)";
}

std::string processingRecord(const ProcessingJob& job, long quality)
{
    Digest digest;
    digest.add("resize " + std::to_string(job.resize ? job.maxSize : 0));
    digest.add("rotate " + std::to_string(job.autoRotate));
    digest.add("srgb " + std::to_string(job.convertToSrgb));
    digest.add("quality " + std::to_string(quality));
    const wxImage* mark = job.watermark ? job.watermarkImage : nullptr;
    if (mark && mark->IsOk()) {
        digest.add("watermark " + std::to_string(mark->GetWidth()) + "x" + std::to_string(mark->GetHeight()));
        digest.add(mark->GetData(), std::size_t(3) * mark->GetWidth() * mark->GetHeight());
        if (mark->HasAlpha())
            digest.add(mark->GetAlpha(), std::size_t(mark->GetWidth()) * mark->GetHeight());
        else
            digest.add("opacity " + formatFixed(job.alpha, 6));
        digest.add("placement " + std::to_string(job.placement));
        digest.add("size " + formatFixed(job.watermarkSize, 6) + " margin " + formatFixed(job.watermarkMargin, 6));
    }
    return std::string(recordPrefix) + TESSALY_VERSION " settings " + hexOf(digest.value());
}
