#include <cstdio>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "jpeg/ExifBuilder.h"
#include "jpeg/IccProfile.h"
#include "jpeg/JpegHead.h"

namespace {

// A made-up profile whose header gives its length, as a real one's does.
Bytes profileOf(std::size_t size)
{
    Bytes profile(size);
    for (std::size_t i = 4; i < size; ++i)
        profile[i] = static_cast<std::uint8_t>(i * 7);
    for (int b = 0; b < 4; ++b)
        profile[b] = static_cast<std::uint8_t>(size >> (24 - 8 * b));
    return profile;
}

Bytes chunk(int number, int count, const Bytes& data)
{
    const std::string signature("ICC_PROFILE\0", 12);
    Bytes payload(signature.begin(), signature.end());
    payload.push_back(static_cast<std::uint8_t>(number));
    payload.push_back(static_cast<std::uint8_t>(count));
    payload.insert(payload.end(), data.begin(), data.end());
    return segment(0xE2, payload);
}

Bytes part(const Bytes& profile, int index, int parts)
{
    const std::size_t step = (profile.size() + parts - 1) / parts;
    const std::size_t from = std::min(profile.size(), step * index);
    return Bytes(profile.begin() + from, profile.begin() + std::min(profile.size(), from + step));
}

Bytes read(const Bytes& jpeg)
{
    std::FILE* stream = streamOf(jpeg.data(), jpeg.size());
    JpegHead head;
    readJpegHead(stream, head);
    std::fclose(stream);
    return head.iccProfile;
}

TEST(IccProfile, ChunksMakeOneWholeProfileOrNone)
{
    const Bytes p = profileOf(300);
    Bytes tooLong = p;
    tooLong[3] = 0xFF;  // the header claims more than the chunks hold
    static const Bytes none;
    const struct {
        const char* name;
        std::vector<Bytes> segments;
        const Bytes& expected;
    } cases[] = {
        {"one chunk", {chunk(1, 1, p)}, p},
        {"three chunks", {chunk(1, 3, part(p, 0, 3)), chunk(2, 3, part(p, 1, 3)), chunk(3, 3, part(p, 2, 3))}, p},
        {"another APP2 between", {chunk(1, 2, part(p, 0, 2)), segment(0xE2, {'M', 'P', 'F', 0}), chunk(2, 2, part(p, 1, 2))}, p},
        {"no chunk", {segment(0xE2, {'M', 'P', 'F', 0})}, none},
        {"out of order", {chunk(2, 2, part(p, 1, 2)), chunk(1, 2, part(p, 0, 2))}, p},
        {"one missing", {chunk(1, 3, part(p, 0, 3)), chunk(3, 3, part(p, 2, 3))}, none},
        {"one short at the end", {chunk(1, 2, part(p, 0, 2))}, none},
        {"twice the same", {chunk(1, 2, part(p, 0, 2)), chunk(1, 2, part(p, 0, 2))}, none},
        {"counts disagree", {chunk(1, 2, part(p, 0, 2)), chunk(2, 3, part(p, 1, 2))}, none},
        {"number 0", {chunk(0, 1, p)}, none},
        {"count 0", {chunk(1, 0, p)}, none},
        {"header says longer", {chunk(1, 1, tooLong)}, none},
        {"signature only", {segment(0xE2, {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0})}, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(read(jpegOf(c.segments) + sosSegment()) == c.expected);
    }
}

TEST(IccProfile, EmbeddedProfileReadsBack)
{
    // Up to 1 MB in 16 chunks, as scanner and raw-converter profiles are.
    for (std::size_t size : {std::size_t(580), std::size_t(65519), std::size_t(65520), std::size_t(154324),
                             std::size_t(1000000)}) {
        SCOPED_TRACE(size);
        const Bytes profile = profileOf(size);
        Bytes jpeg = jpegOf({segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0})}) + sosSegment();
        ASSERT_TRUE(embedIccProfile(jpeg, profile));
        EXPECT_TRUE(read(jpeg) == profile);
        // Fill bytes in front of a marker are allowed in any number.
        Bytes filled = jpeg;
        filled.insert(filled.begin() + 2, 40, 0xFF);
        EXPECT_TRUE(read(filled) == profile);
        EXPECT_EQ(jpeg[2], 0xFF);
        EXPECT_EQ(jpeg[3], 0xE0) << "the JFIF header stays first";
    }
    // More than 255 chunks cannot be numbered.
    Bytes jpeg = jpegOf({}) + sosSegment();
    const Bytes before = jpeg;
    EXPECT_FALSE(embedIccProfile(jpeg, profileOf(255 * 65519 + 1)));
    EXPECT_TRUE(jpeg == before);
}

}  // namespace
