#include "batch/ProcessingRecord.h"

#include <cstdint>
#include <cstdio>

#include "jpeg/JpegHead.h"
#include "prefs/PreferencesFile.h"

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

}  // namespace

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
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest.value()));
    return std::string(recordPrefix) + "1.1 settings " + hex;
}
