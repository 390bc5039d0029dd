#include "batch/Watermark.h"

#include <algorithm>

#include <wx/msgdlg.h>

#include "batch/FitInBox.h"

namespace {

constexpr int centre = 5;

unsigned char blend(double a, double oneMinusA, unsigned char mark, unsigned char pixel)
{
    // Truncated toward zero; clamped so that an opacity outside 0..1 (a
    // hand-edited prefs.cfg) saturates instead of wrapping into garbage.
    const double value = a * mark + oneMinusA * pixel;
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return static_cast<unsigned char>(value);
}

}  // namespace

bool wmPosition(int placement, int pictureWidth, int pictureHeight, int width, int height, int& x0, int& y0)
{
    if (placement < 1 || placement > 9)
        return false;
    const int column = (placement - 1) % 3;
    const int row = (placement - 1) / 3;
    // Halves are taken before the subtraction: W/2 - w/2, not (W - w)/2.
    const int xs[] = {0, pictureWidth / 2 - width / 2, pictureWidth - width};
    const int ys[] = {0, pictureHeight / 2 - height / 2, pictureHeight - height};
    x0 = xs[column];
    y0 = ys[row];
    return true;
}

void ApplyWatermark(wxImage& picture, const wxImage& watermarkImage, double alpha, int placement,
                    const MessageReporter& report)
{
    if (!picture.IsOk() || !watermarkImage.IsOk())
        return;
    const int pictureWidth = picture.GetWidth();
    const int pictureHeight = picture.GetHeight();

    wxImage shrunk;
    const wxImage* mark = &watermarkImage;
    if (watermarkImage.GetWidth() > pictureWidth || watermarkImage.GetHeight() > pictureHeight) {
        const FittedSize size =
            fitInBox(watermarkImage.GetWidth(), watermarkImage.GetHeight(), pictureWidth, pictureHeight);
        // A long thin watermark on a small picture can shrink to nothing.
        if (!size.positive())
            return;
        shrunk = watermarkImage.Scale(static_cast<int>(size.width), static_cast<int>(size.height),
                                      wxIMAGE_QUALITY_HIGH);
        mark = &shrunk;
    }

    const int width = mark->GetWidth();
    const int height = mark->GetHeight();
    int x0 = 0, y0 = 0;
    if (!wmPosition(placement, pictureWidth, pictureHeight, width, height, x0, y0)) {
        report(wxS("Wrong Water Image placement. Center placement will be used."), wxMessageBoxCaptionStr);
        wmPosition(centre, pictureWidth, pictureHeight, width, height, x0, y0);
    }

    // The working watermark lies inside the picture; clip all the same.
    const int firstColumn = std::max(0, -x0);
    const int lastColumn = std::min(width, pictureWidth - x0);
    const int firstRow = std::max(0, -y0);
    const int lastRow = std::min(height, pictureHeight - y0);

    const unsigned char* markRgb = mark->GetData();
    const unsigned char* markAlpha = mark->HasAlpha() ? mark->GetAlpha() : nullptr;
    unsigned char* pictureRgb = picture.GetData();
    const double oneMinusAlpha = 1.0 - alpha;

    for (int r = firstRow; r < lastRow; ++r) {
        const long long markRow = static_cast<long long>(r) * width;
        const long long pictureRow = static_cast<long long>(y0 + r) * pictureWidth + x0;
        for (int j = firstColumn; j < lastColumn; ++j) {
            const unsigned char* m = markRgb + 3 * (markRow + j);
            double a = alpha;
            double oneMinusA = oneMinusAlpha;
            if (markAlpha) {
                const unsigned char opacity = markAlpha[markRow + j];
                if (opacity == 0)
                    continue;
                a = opacity / 255.0;
                oneMinusA = 1.0 - a;
            } else if (m[0] == 255 || m[1] == 255 || m[2] == 255) {
                continue;
            }
            unsigned char* p = pictureRgb + 3 * (pictureRow + j);
            p[0] = blend(a, oneMinusA, m[0], p[0]);
            p[1] = blend(a, oneMinusA, m[1], p[1]);
            p[2] = blend(a, oneMinusA, m[2], p[2]);
        }
    }
}
