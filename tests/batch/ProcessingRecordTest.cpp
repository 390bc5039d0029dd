#include <filesystem>

#include <gtest/gtest.h>

#include "batch/BatchTestSupport.h"
#include "TempDir.h"
#include "batch/ProcessingRecord.h"
#include "batch/TestJpeg.h"
#include "pixel/JpegReplacer.h"

namespace {

namespace fs = std::filesystem;

// Each setting that changes pixels changes the record, and no other does:
// a picture is skipped as processed only when the batch would write it the
// same again.
TEST(ProcessingRecord, TakesEverySettingThatChangesPixels)
{
    const wxImage mark(4, 4);  // without alpha channel, so that the opacity counts
    ProcessingJob plain;
    plain.watermarkImage = &mark;
    ProcessingJob withText = plain;
    withText.settings.textWatermark = true;
    int fields = 0;
    for (;; ++fields) {
        ProcessingJob job = plain;
        const ChangedSetting changed = changeSetting(job.settings, fields);
        if (changed.key.empty())
            break;
        // The text mark's settings count while it is drawn, and only then.
        const bool ofTextMark = changed.key.find("Text") != std::string::npos && changed.key != "TextWatermark";
        // The fit counts as the rule it makes: a change of mode makes another.
        const bool byRule = changed.key == "FitMode";
        EXPECT_EQ(processingRecord(job) != processingRecord(plain),
                  (changed.inRecord != InRecord::no && !ofTextMark) || byRule)
            << changed.key;
        job = withText;
        changeSetting(job.settings, fields);
        if (ofTextMark) {
            EXPECT_NE(processingRecord(job), processingRecord(withText)) << changed.key;
            job.settings.textWatermark = false;
            EXPECT_EQ(processingRecord(job), processingRecord(plain)) << changed.key;
        }
    }
    EXPECT_GE(fields, 25);
    // Without the watermark, its image, opacity and placement do not count.
    plain.settings.useWatermark = false;
    ProcessingJob other = plain;
    other.settings.alpha = 0.9;
    other.settings.wmPlacement = 1;
    other.watermarkImage = nullptr;
    EXPECT_EQ(processingRecord(other), processingRecord(plain));

    // A new logo of the same size is another watermark.
    wxImage newLogo(4, 4);
    newLogo.SetRGB(1, 2, 9, 9, 9);
    plain.settings.useWatermark = true;
    other = plain;
    other.watermarkImage = &newLogo;
    EXPECT_NE(processingRecord(other), processingRecord(plain));

    // A fit other than the box counts while pictures are resized, a frame's
    // height with it.
    plain.settings.resize = false;
    ProcessingJob fitted = plain;
    fitted.settings.fitMode = "frame";
    EXPECT_EQ(processingRecord(fitted), processingRecord(plain));
    fitted.settings.resize = plain.settings.resize = true;
    EXPECT_NE(processingRecord(fitted), processingRecord(plain));
    other = fitted;
    other.settings.height = 600;
    EXPECT_NE(processingRecord(other), processingRecord(fitted));
}

// A result below a results folder names its original by the full path,
// however it was reached, and still carries the batch's record, so that a
// later --skip-processed run over the results leaves it.
TEST(ProcessingRecord, ResultsKnowTheirOriginal)
{
    TempDir dir;
    fs::create_directories(dir.file("album/sub"));
    writeQuadrantJpeg(dir.file("album/p.jpg"), 40, 30);
    writeQuadrantJpeg(dir.file("album/q.jpg"), 40, 30);
    ProcessingJob job;
    const std::string record = processingRecord(job);
    const wxImage picture(8, 8);
    const std::string result = dir.file("result.jpg");
    writeFile(result, Bytes(jpegBytes(picture, 80, {}, {}, resultRecord(record, dir.file("album/sub/../p.jpg")))));
    EXPECT_TRUE(isResultOf(result, dir.file("album/p.jpg")));
    EXPECT_FALSE(isResultOf(result, dir.file("album/q.jpg")));
    EXPECT_TRUE(carriesRecord(resultRecord(record, dir.file("album/p.jpg")), record));
    EXPECT_TRUE(carriesRecord(record, record));
    EXPECT_FALSE(carriesRecord(record + "0", record));
}

}  // namespace
