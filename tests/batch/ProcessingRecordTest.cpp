#include <gtest/gtest.h>

#include "batch/BatchTestSupport.h"
#include "batch/ProcessingRecord.h"

namespace {

// Each setting that changes pixels changes the record, and no other does:
// a picture is skipped as processed only when the batch would write it the
// same again.
TEST(ProcessingRecord, TakesEverySettingThatChangesPixels)
{
    const wxImage mark(4, 4);  // without alpha channel, so that the opacity counts
    ProcessingJob plain;
    plain.watermarkImage = &mark;
    const std::string before = processingRecord(plain);
    int fields = 0;
    for (;; ++fields) {
        ProcessingJob job = plain;
        const ChangedSetting changed = changeSetting(job.settings, fields);
        if (changed.key.empty())
            break;
        EXPECT_EQ(processingRecord(job) != before, changed.inRecord != InRecord::no) << changed.key;
    }
    EXPECT_GE(fields, 19);
    // Without the watermark, its image, opacity and placement do not count.
    plain.settings.useWatermark = false;
    ProcessingJob other = plain;
    other.settings.alpha = 0.9;
    other.settings.wmPlacement = 1;
    other.watermarkImage = nullptr;
    EXPECT_EQ(processingRecord(other), processingRecord(plain));
}

}  // namespace
