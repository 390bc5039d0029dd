#include <gtest/gtest.h>
#include <jpeglib.h>
#include <wx/mstream.h>

#include "pixel/JpegEncoder.h"
#include "batch/TestJpeg.h"

namespace {

// What a JPEG's header says of its layout: the luma's sampling factors as
// 22 or 11, and whether it comes in several scans.
struct Layout {
    int lumaSampling = 0;
    bool progressive = false;
};

Layout layoutOf(const Bytes& jpeg)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    const Layout layout{info.comp_info[0].h_samp_factor * 10 + info.comp_info[0].v_samp_factor,
                        jpeg_has_multiple_scans(&info) != 0};
    jpeg_destroy_decompress(&info);
    return layout;
}

// Below quality 90 the bytes are the toolkit encoder's own: pictures at the
// usual qualities come out as they always did. From 90 on, colour keeps its
// full resolution.
TEST(JpegEncoder, TheToolkitsBytesBelow90AndFullColourFrom90)
{
    wxImage picture = shadedPicture(301, 203);
    for (const long quality : {-5L, 1L, 50L, 82L, 89L, 90L, 100L, 250L}) {
        SCOPED_TRACE(quality);
        wxMemoryOutputStream out;
        picture.SetOption(wxIMAGE_OPTION_QUALITY, static_cast<int>(quality));
        ASSERT_TRUE(picture.SaveFile(out, wxBITMAP_TYPE_JPEG));
        Bytes toolkit(static_cast<std::size_t>(out.GetLength()));
        out.CopyTo(toolkit.data(), toolkit.size());
        const Bytes ours = compressJpeg(picture, quality);
        EXPECT_EQ(ours == toolkit, quality < 90);
        EXPECT_EQ(layoutOf(ours).lumaSampling, quality < 90 ? 22 : 11);
    }
    EXPECT_TRUE(compressJpeg(wxImage(), 82).empty());
}

// The layout asks for progressive scans and full colour at any quality;
// without it, the bytes are those of before.
TEST(JpegEncoder, ProgressiveAndFullColourOnRequest)
{
    const wxImage picture = shadedPicture(120, 80);
    const Bytes plain = compressJpeg(picture, 82);
    EXPECT_EQ(compressJpeg(picture, 82, JpegLayout{}), plain);
    EXPECT_FALSE(layoutOf(plain).progressive);
    const Layout progressive = layoutOf(compressJpeg(picture, 82, JpegLayout{true, false}));
    EXPECT_TRUE(progressive.progressive);
    EXPECT_EQ(progressive.lumaSampling, 22);
    EXPECT_EQ(layoutOf(compressJpeg(picture, 60, JpegLayout{false, true})).lumaSampling, 11);
}

}  // namespace
