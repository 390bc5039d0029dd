// The rewrite keeps each picture's ICC colour profile, byte for byte: it
// says what the pixel values mean, and a colour-managed viewer shows the
// picture wrong without it.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include <cmath>

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lcms2.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "pixel/PictureLoader.h"
#include "batch/TestJpeg.h"
#include "jpeg/JpegHead.h"

namespace {

const std::string profiles = "/usr/share/color/icc/";

Bytes profileIn(const std::string& path)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        return {};
    JpegHead head;
    readJpegHead(stream, head);
    std::fclose(stream);
    return head.iccProfile;
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

// The picture as a colour-managed viewer shows it, in sRGB: its stored
// CMYK or grey values through its profile (inverted CMYK, as the Adobe
// marker says), or its RGB values as they are.
std::vector<unsigned char> shownOriginal(const Bytes& jpeg, const Bytes& profile, StoredAs storedAs)
{
    const std::vector<unsigned char> stored =
        libjpegDecode(jpeg, 8, storedAs == StoredAs::cmyk ? JCS_CMYK : storedAs == StoredAs::grey ? JCS_GRAYSCALE : JCS_RGB)
            .samples;
    const std::size_t pixels = stored.size() / (storedAs == StoredAs::cmyk ? 4 : storedAs == StoredAs::grey ? 1 : 3);
    if (storedAs != StoredAs::cmyk && storedAs != StoredAs::grey)
        return stored;
    std::vector<unsigned char> rgb(pixels * 3);
    cmsHPROFILE source = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(source, storedAs == StoredAs::cmyk ? TYPE_CMYK_8_REV : TYPE_GRAY_8,
                                                 srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    cmsDoTransform(transform, stored.data(), rgb.data(), static_cast<cmsUInt32Number>(pixels));
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return rgb;
}

double psnr(const std::vector<unsigned char>& a, const wxImage& b)
{
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        squares += std::pow(double(a[i]) - b.GetData()[i], 2);
    return 10 * std::log10(255.0 * 255.0 / (squares / double(a.size())));
}

class ColourProfile : public testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
};

TEST_F(ColourProfile, TheRewriteKeepsTheProfile)
{
    const Bytes adobe = fileBytes(profiles + "compatibleWithAdobeRGB1998.icc");
    ASSERT_FALSE(adobe.empty());
    // 1 MB in 16 chunks, as scanner and raw-converter profiles are: the
    // Adobe RGB profile with room behind its tags, the header's length to match.
    Bytes large = adobe;
    large.resize(1000000);
    for (int b = 0; b < 4; ++b)
        large[b] = static_cast<std::uint8_t>(large.size() >> (24 - 8 * b));
    const wxImage picture = shadedPicture(1000, 600);
    writeFile(dir.file("adobe.jpg"), encodeJpeg(picture, false, StoredAs::ycc420, adobe));
    writeFile(dir.file("large.jpg"), encodeJpeg(picture, true, StoredAs::ycc420, large));
    writeFile(dir.file("none.jpg"), encodeJpeg(picture, false));
    // The second chunk claims a count of 9 where the first said 16: the
    // picture is processed, without a profile.
    Bytes broken = encodeJpeg(picture, false, StoredAs::ycc420, large);
    static const char tag[] = "ICC_PROFILE";  // 12 bytes with the zero
    const auto chunkAfter = [&](std::size_t from) {
        return static_cast<std::size_t>(std::search(broken.begin() + from, broken.end(), tag, tag + 12) - broken.begin());
    };
    broken[chunkAfter(chunkAfter(0) + 1) + 13] = 9;
    writeFile(dir.file("broken.jpg"), broken);

    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = true;
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
    writeFile(dir.file("p.jpg"), encodeJpeg(picture, false, StoredAs::ycc420, adobe));
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

// A logo on an Adobe RGB picture shows its own sRGB colours: blended into
// the picture's colour space when the profile stays, or with the picture
// converted into sRGB (and written untagged) when asked.
TEST_F(ColourProfile, TheWatermarkKeepsItsColoursAndSrgbConverts)
{
    const Bytes adobe = fileBytes(profiles + "compatibleWithAdobeRGB1998.icc");
    const unsigned char original[3] = {40, 170, 90};
    const std::array<int, 3> intended = shownAsSrgb(adobe, original);
    wxImage mark(16, 16, false);
    mark.SetRGB(wxRect(0, 0, 16, 16), 170, 110, 70);
    for (bool convert : {false, true}) {
        SCOPED_TRACE(convert);
        wxImage picture(64, 64, false);
        picture.SetRGB(wxRect(0, 0, 64, 64), original[0], original[1], original[2]);
        writeFile(dir.file("p.jpg"), encodeJpeg(picture, false, StoredAs::ycc444, adobe));
        ProcessingJob job = plainJob(dir.path());
        job.settings.quality = 100;
        job.settings.useWatermark = true;
        job.watermarkImage = &mark;
        job.settings.alpha = 1.0;
        job.settings.wmPlacement = 1;
        job.settings.convertToSrgb = convert;
        RecordingOwner owner;
        owner.run(job);
        const Bytes written = profileIn(dir.file("p.jpg"));
        EXPECT_EQ(written.empty(), convert);
        const wxImage result = loadImage(dir.file("p.jpg"));
        for (const auto& [x, y, expected] : {std::tuple{8, 8, std::array<int, 3>{170, 110, 70}},
                                             std::tuple{48, 48, intended}}) {
            const unsigned char pixel[3] = {result.GetRed(x, y), result.GetGreen(x, y), result.GetBlue(x, y)};
            const std::array<int, 3> shown = shownAsSrgb(written, pixel);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(shown[c], expected[c], 3) << "at " << x << "," << y << " channel " << c;
        }
    }
}


// A progressive picture, decoded small by the progressive decoder, comes
// out as libjpeg makes the same picture from a baseline file: fitted into
// the box, grey turned into sRGB through its profile, the RGB profile kept.
TEST_F(ColourProfile, ProgressiveAndBaselineLoadAlike)
{
    const Bytes adobe = fileBytes(profiles + "compatibleWithAdobeRGB1998.icc");
    const Bytes grey = fileBytes(profiles + "Gray-CIE_L.icc");
    ASSERT_FALSE(adobe.empty() || grey.empty());
    for (const StoredAs storedAs : {StoredAs::ycc420, StoredAs::ycc444, StoredAs::grey}) {
        SCOPED_TRACE(static_cast<int>(storedAs));
        const Bytes& profile = storedAs == StoredAs::grey ? grey : adobe;
        LoadedPicture baseline, progressive;
        writeFile(dir.file("p.jpg"), encodeJpeg(shadedPicture(1200, 900), false, storedAs, profile));
        ASSERT_TRUE(loadPicture(dir.file("p.jpg"), 200, baseline));
        writeFile(dir.file("p.jpg"), encodeJpeg(shadedPicture(1200, 900), true, storedAs, profile));
        ASSERT_TRUE(loadPicture(dir.file("p.jpg"), 200, progressive));
        EXPECT_EQ(progressive.image.GetSize(), wxSize(200, 150));
        EXPECT_TRUE(progressive.iccProfile == baseline.iccProfile);
        const unsigned char* data = baseline.image.GetData();
        EXPECT_GT(psnr(std::vector<unsigned char>(data, data + 200 * 150 * 3), progressive.image), 40);
    }
}

// A CMYK or grey picture cannot carry its profile onto the RGB result: it
// is converted through that profile into sRGB and written untagged. A
// profile of another colour space than the picture's own is never written.
TEST_F(ColourProfile, OtherColourSpacesComeOutInSrgb)
{
    const Bytes cmyk = fileBytes(profiles + "ghostscript/default_cmyk.icc");
    const Bytes grey = fileBytes(profiles + "Gray-CIE_L.icc");
    ASSERT_FALSE(cmyk.empty() || grey.empty());
    // The least PSNR in dB: what JPEG at quality 90 keeps. Unconverted, the
    // CMYK picture comes to 22 dB, the grey one to 33.
    static const struct {
        const char* name;
        StoredAs storedAs;
        bool cmykProfile;
        double psnr;
    } cases[] = {{"cmyk.jpg", StoredAs::cmyk, true, 30}, {"grey.jpg", StoredAs::grey, false, 45},
                 {"rgb.jpg", StoredAs::ycc420, true, 35}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes& profile = c.cmykProfile ? cmyk : grey;
        const Bytes original = encodeJpeg(shadedPicture(400, 300), false, c.storedAs, profile);
        writeFile(dir.file(c.name), original);
        RecordingOwner owner;
        owner.run(plainJob(dir.path()));
        const wxImage result = loadImage(dir.file(c.name));
        ASSERT_TRUE(result.IsOk());
        EXPECT_TRUE(profileIn(dir.file(c.name)).empty());
        EXPECT_GT(psnr(shownOriginal(original, profile, c.storedAs), result), c.psnr);
        std::remove(dir.file(c.name).c_str());
    }
}

}  // namespace
