#include <gtest/gtest.h>

#include "jpeg/XmpPacket.h"

namespace {

TEST(XmpDate, DateTakenInEitherFormAndNothingElse)
{
    static const struct {
        const char* packet;
        const char* date;
    } cases[] = {
        {"<rdf:Description exif:DateTimeOriginal=\"2024-07-14T18:32:05+02:00\"/>", "2024:07:14 18:32:05"},
        {"<exif:DateTimeOriginal>2024-07-14T18:32:05.120Z</exif:DateTimeOriginal>", "2024:07:14 18:32:05"},
        {"<rdf:Description xmp:CreateDate='2023-08-01T09:15'/>", "2023:08:01 09:15:00"},
        // The original date wins over the file's creation.
        {"xmp:CreateDate=\"2020-01-01T00:00:00\" exif:DateTimeOriginal=\"2021-02-03T04:05:06\"", "2021:02:03 04:05:06"},
        {"<rdf:Description xmp:CreateDate=\"2023-08-01\"/>", ""},  // no time of day
        {"<rdf:Description xmp:ModifyDate=\"2023-08-01T09:15:00\"/>", ""},
        {"<rdf:Description exif:DateTimeOriginal=\"2023-8-1T9:15\"/>", ""},
        {"exif:DateTimeOriginal=\"2023-08-01T09:1", ""},  // cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmpDateTaken(c.packet), c.date) << c.packet;
}

}  // namespace
