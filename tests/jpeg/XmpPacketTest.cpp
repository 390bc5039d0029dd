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

namespace {

TEST(XmpPacket, FirstTextOfAProperty)
{
    static const struct {
        const char* packet;
        const char* name;
        const char* text;
    } cases[] = {
        {"<dc:creator><rdf:Seq><rdf:li>Jane &amp; John</rdf:li><rdf:li>Other</rdf:li></rdf:Seq></dc:creator>",
         "dc:creator", "Jane & John"},
        {"<dc:rights><rdf:Alt><rdf:li xml:lang=\"x-default\">&#169; Jane &#x3A9;</rdf:li></rdf:Alt></dc:rights>",
         "dc:rights", "\xC2\xA9 Jane \xCE\xA9"},
        {"<rdf:Description aux:Lens=\"EF50mm f/1.8 &lt;II&gt;\"/>", "aux:Lens", "EF50mm f/1.8 <II>"},
        {"<exifEX:LensModel>RF24-105mm</exifEX:LensModel>", "exifEX:LensModel", "RF24-105mm"},
        {"<dc:creator><rdf:Seq><rdf:li/></rdf:Seq></dc:creator>", "dc:creator", ""},
        {"<dc:creator><rdf:Seq><rdf:li>cut short", "dc:creator", ""},
        {"<dc:title><rdf:Alt><rdf:li>T</rdf:li></rdf:Alt></dc:title>", "dc:creator", ""},
        {"<dc:rights>&bogus; &#xFFFFFFF; &#;</dc:rights>", "dc:rights", "&bogus; &#xFFFFFFF; &#;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmpText(c.packet, c.name), c.text) << c.packet;
}

}  // namespace
