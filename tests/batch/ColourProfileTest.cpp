// The rewrite keeps each picture's ICC colour profile, byte for byte: it
// says what the pixel values mean, and a colour-managed viewer shows the
// picture wrong without it.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <lcms2.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/TestJpeg.h"
#include "jpeg/IccProfile.h"

namespace {

const std::string profiles = "/usr/share/color/icc/";

Bytes profileIn(const std::string& path)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        return {};
    const Bytes profile = readIccProfile(stream);
    std::fclose(stream);
    return profile;
}

Bytes fileBytes(const std::string& path)
{
    const std::string text = readFile(path);
    return Bytes(text.begin(), text.end());
}

// The sRGB values a colour-managed viewer shows for the pixel; a picture
// without a profile is taken as sRGB already.
std::array<int, 3> shownAsSrgb(const Bytes& profile, const unsigned char* rgb)
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE source = profile.empty() ? cmsCreate_sRGBProfile() : cmsOpenProfileFromMem(profile.data(), profile.size());
    cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    unsigned char out[3] = {};
    cmsDoTransform(transform, rgb, out, 1);
    cmsDeleteTransform(transform);
    cmsCloseProfile(source);
    cmsCloseProfile(srgb);
    return {out[0], out[1], out[2]};
}

class ColourProfile : public testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
};

TEST_F(ColourProfile, TheRewriteKeepsTheProfile)
{
    const Bytes adobe = fileBytes(profiles + "compatibleWithAdobeRGB1998.icc");
    const Bytes large = fileBytes(profiles + "LCMSXYZI.ICM");  // 154 KB: three chunks
    ASSERT_FALSE(adobe.empty());
    ASSERT_GT(large.size(), 2 * 65519u);
    const wxImage picture = shadedPicture(1000, 600);
    writeFile(dir.file("adobe.jpg"), encodeJpeg(picture, false, false, adobe));
    writeFile(dir.file("large.jpg"), encodeJpeg(picture, true, false, large));
    writeFile(dir.file("none.jpg"), encodeJpeg(picture, false));
    // The second chunk claims a count of 9 where the first said 3: the
    // picture is processed, without a profile.
    Bytes broken = encodeJpeg(picture, false, false, large);
    static const char tag[] = "ICC_PROFILE";  // 12 bytes with the zero
    const auto chunkAfter = [&](std::size_t from) {
        return static_cast<std::size_t>(std::search(broken.begin() + from, broken.end(), tag, tag + 12) - broken.begin());
    };
    broken[chunkAfter(chunkAfter(0) + 1) + 13] = 9;
    writeFile(dir.file("broken.jpg"), broken);

    ProcessingJob job = plainJob(dir.path());
    job.resize = true;
    RecordingOwner owner;
    owner.run(job);
    EXPECT_EQ(owner.messages().back(), statistics(4, 0, 0));
    EXPECT_TRUE(profileIn(dir.file("adobe.jpg")) == adobe);
    EXPECT_TRUE(profileIn(dir.file("large.jpg")) == large);
    EXPECT_TRUE(profileIn(dir.file("none.jpg")).empty());
    EXPECT_TRUE(profileIn(dir.file("broken.jpg")).empty());
    EXPECT_EQ(loadImage(dir.file("broken.jpg")).GetWidth(), 800);
}

TEST_F(ColourProfile, ColoursLookTheSameInAColourManagedViewer)
{
    const Bytes adobe = fileBytes(profiles + "compatibleWithAdobeRGB1998.icc");
    wxImage picture(64, 64, false);
    picture.SetRGB(wxRect(0, 0, 64, 64), 40, 170, 90);
    writeFile(dir.file("p.jpg"), encodeJpeg(picture, false, false, adobe));
    const unsigned char original[3] = {40, 170, 90};
    const std::array<int, 3> intended = shownAsSrgb(adobe, original);

    RecordingOwner owner;
    owner.run(plainJob(dir.path()));
    const wxImage result = loadImage(dir.file("p.jpg"));
    const unsigned char written[3] = {result.GetRed(32, 32), result.GetGreen(32, 32), result.GetBlue(32, 32)};
    const std::array<int, 3> shown = shownAsSrgb(profileIn(dir.file("p.jpg")), written);
    const std::array<int, 3> shownWithoutProfile = shownAsSrgb({}, written);
    int differenceWithout = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(shown[c], intended[c], 3) << "channel " << c;
        differenceWithout = std::max(differenceWithout, std::abs(shownWithoutProfile[c] - intended[c]));
    }
    // The check above can fail: without the profile the colour is off.
    EXPECT_GT(differenceWithout, 15);
}

}  // namespace
