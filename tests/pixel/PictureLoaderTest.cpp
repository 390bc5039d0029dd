#include <cmath>
#include <random>

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include "TempDir.h"
#include "pixel/FitInBox.h"
#include "pixel/PictureLoader.h"
#include "pixel/Resample.h"
#include "jpeg/ExifBuilder.h"

namespace {

TEST(PictureLoader, ScaleNumerator)
{
    // The decoded size covers twice the fitted one.
    static const struct {
        int width, height, box, expected;
    } cases[] = {
        {4000, 3000, 800, 4},  // 2000 x 1500 covers twice 800 x 600; 1000 x 750 does not
        {4352, 2448, 800, 4},
        {3200, 2000, 800, 4},
        {5000, 3750, 800, 4},
        {3199, 2000, 800, 4},  // the decoder rounds up: 3199 / 2 gives 1600
        {3197, 2000, 800, 8},
        {6400, 4800, 800, 2},
        {12800, 9600, 800, 1},
        {2560, 1600, 800, 8},
        {801, 600, 800, 8},
        {100000, 10, 800, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const FittedSize target = fitInBox(c.width, c.height, c.box, c.box);
        const int numerator = jpegScaleNumerator(c.width, c.height, target.width, target.height);
        EXPECT_EQ(numerator, c.expected);
        EXPECT_EQ(numerator, boxScaleNumerator(c.width, c.height, c.box));
        // A reduced picture always covers twice the target.
        if (numerator == 8)
            continue;
        EXPECT_GE((c.width * numerator + 7) / 8, 2 * target.width);
        EXPECT_GE((c.height * numerator + 7) / 8, 2 * target.height);
    }
}

// Something like a photograph: smooth shading, edges and fine texture.
wxImage photoLike(int width, int height)
{
    wxImage image(width, height, false);
    std::mt19937 rng(7);
    std::normal_distribution<double> grain(0.0, 6.0);
    unsigned char* p = image.GetData();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double shade = 128 + 90 * std::sin(6 * u + 2 * v) * std::cos(4 * v);
            const double edge = (x / 300 + y / 300) % 2 ? 25 : -25;
            for (int c = 0; c < 3; ++c) {
                const double value = shade + edge * (c + 1) / 3 + grain(rng);
                *p++ = static_cast<unsigned char>(std::clamp(value, 0.0, 255.0));
            }
        }
    }
    return image;
}

double psnr(const wxImage& a, const wxImage& b)
{
    const std::size_t n = static_cast<std::size_t>(a.GetWidth()) * a.GetHeight() * 3;
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = double(a.GetData()[i]) - b.GetData()[i];
        sum += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 / (sum / n));
}

TEST(PictureLoader, ShrinkOnLoadLooksLikeAFullDecode)
{
    TempDir dir;
    wxImage photo = photoLike(3400, 2200);
    photo.SetOption(wxIMAGE_OPTION_QUALITY, 90);
    const std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(photo.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_JPEG));

    LoadedPicture full, reduced;
    ASSERT_TRUE(loadPicture(path, 0, full));
    ASSERT_TRUE(loadPicture(path, 800, reduced));
    EXPECT_EQ(reduced.storedWidth, 3400);
    EXPECT_EQ(reduced.storedHeight, 2200);
    // Decoded at half size and fitted into the box as the rows came.
    EXPECT_EQ(reduced.image.GetSize(), wxSize(800, 517));
    EXPECT_EQ(full.image.GetWidth(), 3400);
    EXPECT_GE(psnr(resampleLanczos3(full.image, 800, 517), reduced.image), 40.0);
}

TEST(PictureLoader, OtherFormatsAndFailures)
{
    TempDir dir;
    wxImage png(30, 20, false);
    ASSERT_TRUE(png.SaveFile(wxString::FromUTF8(dir.file("disguised.jpg")), wxBITMAP_TYPE_PNG));
    LoadedPicture picture;
    ASSERT_TRUE(loadPicture(dir.file("disguised.jpg"), 10, picture));
    EXPECT_EQ(picture.storedWidth, 30);
    EXPECT_EQ(picture.image.GetWidth(), 30);

    writeFile(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0, 3});
    EXPECT_FALSE(loadPicture(dir.file("broken.jpg"), 0, picture));
    EXPECT_FALSE(loadPicture(dir.file("missing.jpg"), 0, picture));
}

}  // namespace
