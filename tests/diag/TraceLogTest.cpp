#include <clocale>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "diag/TraceLog.h"

namespace {

TEST(TraceLog, LineFormats)
{
    TempDir dir;
    const std::string path = dir.file("trace.log");
    {
        TraceLog log(path, true);
        log.write("Label", "text");
        log.write("MetadataHandler.log");
        log.write(std::string("Count"), 12);
        log.write(std::string("object"));
        log.write(3.14159f);
        log.write(-7);
        log.write(1e10f);
        // Flushed at once: the bytes are on disk before the log closes.
        EXPECT_EQ(readFile(path),
                  textFile("Label: text \nMetadataHandler.log \nCount: 12\nobject \n3.142 \n-7 \n1e+10 \n"));
    }
}

TEST(TraceLog, DecimalPointUnderAnyLocale)
{
    TempDir dir;
    const std::string path = dir.file("trace.log");
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") &&
        !std::setlocale(LC_NUMERIC, "German"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    {
        TraceLog log(path, true);
        log.write(0.5f);
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(readFile(path), textFile("0.5 \n"));
}

TEST(TraceLog, OpeningEmptiesTheFile)
{
    TempDir dir;
    const std::string path = dir.file("trace.log");
    {
        TraceLog log(path, true);
        log.write("first run");
    }
    { TraceLog log(path, true); }
    EXPECT_EQ(readFile(path), "");
}

TEST(TraceLog, DisabledLogTouchesNoFile)
{
    TempDir dir;
    const std::string path = dir.file("trace.log");
    {
        TraceLog log(path, false);
        log.write("ignored");
        log.write(1);
        EXPECT_FALSE(log.enabled());
    }
    EXPECT_FALSE(fileExists(path));
}

TEST(TraceLog, UnopenableFileIsSilent)
{
    TraceLog log("/nonexistent-folder/x/trace.log", true);
    EXPECT_TRUE(log.enabled());
    EXPECT_FALSE(log.isOpen());
    log.write("label", "text");
    log.write(2.0f);
}

}  // namespace
