#include "pixel/Watermark.h"

#include <algorithm>
#include <cmath>

#include <wx/msgdlg.h>

#include "pixel/FitInBox.h"
#include "pixel/ProfileConversion.h"
#include "text/Translated.h"

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

bool wmPosition(int placement, int pictureWidth, int pictureHeight, int width, int height, int& x0, int& y0,
                int margin)
{
    if (placement < 1 || placement > 9)
        return false;
    const int column = (placement - 1) % 3;
    const int row = (placement - 1) / 3;
    // Halves are taken before the subtraction: W/2 - w/2, not (W - w)/2.
    const int xs[] = {margin, pictureWidth / 2 - width / 2, pictureWidth - width - margin};
    const int ys[] = {margin, pictureHeight / 2 - height / 2, pictureHeight - height - margin};
    x0 = xs[column];
    y0 = ys[row];
    // A margin too wide for the picture gives way: the watermark stays inside.
    if (margin > 0 && width <= pictureWidth)
        x0 = std::clamp(x0, 0, pictureWidth - width);
    if (margin > 0 && height <= pictureHeight)
        y0 = std::clamp(y0, 0, pictureHeight - height);
    return true;
}

bool ApplyWatermark(wxImage& picture, const wxImage& watermarkImage, double alpha, int placement,
                    const MessageReporter& report, int margin)
{
    if (!picture.IsOk() || !watermarkImage.IsOk())
        return false;
    const int pictureWidth = picture.GetWidth();
    const int pictureHeight = picture.GetHeight();

    wxImage shrunk;
    const wxImage* mark = &watermarkImage;
    if (watermarkImage.GetWidth() > pictureWidth || watermarkImage.GetHeight() > pictureHeight) {
        const FittedSize size =
            fitInBox(watermarkImage.GetWidth(), watermarkImage.GetHeight(), pictureWidth, pictureHeight);
        // A long thin watermark on a small picture can shrink to nothing.
        if (!size.positive())
            return false;
        shrunk = watermarkImage.Scale(static_cast<int>(size.width), static_cast<int>(size.height),
                                      wxIMAGE_QUALITY_HIGH);
        mark = &shrunk;
    }

    const int width = mark->GetWidth();
    const int height = mark->GetHeight();
    int x0 = 0, y0 = 0;
    if (!wmPosition(placement, pictureWidth, pictureHeight, width, height, x0, y0, margin)) {
        report(_("Wrong Water Image placement. Center placement will be used."), _("Message"));
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
    unsigned changed = 0;

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
            const unsigned char was[3] = {p[0], p[1], p[2]};
            p[0] = blend(a, oneMinusA, m[0], p[0]);
            p[1] = blend(a, oneMinusA, m[1], p[1]);
            p[2] = blend(a, oneMinusA, m[2], p[2]);
            changed |= (p[0] ^ was[0]) | (p[1] ^ was[1]) | (p[2] ^ was[2]);
        }
    }
    return changed != 0;
}

wxImage watermarkAtSize(const wxImage& watermark, int longerSide)
{
    const int w = watermark.GetWidth(), h = watermark.GetHeight();
    const int side = std::max(1, longerSide);
    const int width = w >= h ? side : std::max(1, static_cast<int>(std::lround(double(w) * side / h)));
    const int height = w >= h ? std::max(1, static_cast<int>(std::lround(double(h) * side / w))) : side;
    // Colours weighted by their opacity, so that a transparent pixel's colour
    // cannot bleed into its neighbours; a watermark without alpha channel is
    // opaque but where the blend leaves it out.
    const bool ownAlpha = watermark.HasAlpha();
    wxImage weighted(w, h, false);
    weighted.InitAlpha();
    const unsigned char* rgb = watermark.GetData();
    unsigned char* out = weighted.GetData();
    unsigned char* coverage = weighted.GetAlpha();
    for (long i = 0; i < long(w) * h; ++i, rgb += 3, out += 3) {
        const bool leftOut = !ownAlpha && (rgb[0] == 255 || rgb[1] == 255 || rgb[2] == 255);
        const int a = ownAlpha ? watermark.GetAlpha()[i] : leftOut ? 0 : 255;
        coverage[i] = static_cast<unsigned char>(a);
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<unsigned char>((rgb[c] * a + 127) / 255);
    }
    wxImage scaled = weighted.Scale(width, height, wxIMAGE_QUALITY_HIGH);
    unsigned char* p = scaled.GetData();
    const unsigned char* a = scaled.GetAlpha();
    for (long i = 0; i < long(width) * height; ++i, p += 3) {
        for (int c = 0; c < 3; ++c)
            p[c] = a[i] == 0 ? 0 : static_cast<unsigned char>(std::min(255, (p[c] * 255 + a[i] / 2) / a[i]));
        if (!ownAlpha) {
            // Half covered or more is drawn (never at 255, which would leave it out); less is left out.
            for (int c = 0; c < 3; ++c)
                p[c] = a[i] >= 128 ? std::min<unsigned char>(p[c], 254) : 255;
        }
    }
    if (!ownAlpha)
        scaled.ClearAlpha();
    return scaled;
}

wxSize markSizeIn(const wxImage& watermark, int pictureWidth, int pictureHeight, double sizePercent)
{
    int w = watermark.GetWidth(), h = watermark.GetHeight();
    if (sizePercent > 0) {
        // As watermarkAtSize scales it.
        const int side =
            std::max(1, static_cast<int>(std::lround(std::max(pictureWidth, pictureHeight) * sizePercent / 100.0)));
        const int scaledW = w >= h ? side : std::max(1, static_cast<int>(std::lround(double(w) * side / h)));
        const int scaledH = w >= h ? std::max(1, static_cast<int>(std::lround(double(h) * side / w))) : side;
        w = scaledW;
        h = scaledH;
    }
    if (w > pictureWidth || h > pictureHeight) {
        const FittedSize size = fitInBox(w, h, pictureWidth, pictureHeight);
        return wxSize(static_cast<int>(size.width), static_cast<int>(size.height));
    }
    return wxSize(w, h);
}

bool blendWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile, const WatermarkStyle& style,
                    const MessageReporter& report)
{
    if (!style.image || !style.image->IsOk() || !picture.IsOk())
        return false;
    const int longer = std::max(picture.GetWidth(), picture.GetHeight());
    // The shared watermark is only read: changes go to a copy of its own.
    wxImage own = style.size > 0 ? watermarkAtSize(*style.image, static_cast<int>(std::lround(longer * style.size / 100.0)))
                                 : wxImage();
    if (!pictureProfile.empty()) {
        if (!own.IsOk())
            own = style.image->Copy();
        convertRgbPicture(own, pictureProfile, false);
    }
    const int margin = static_cast<int>(std::floor(longer * style.margin / 100.0));
    return ApplyWatermark(picture, own.IsOk() ? own : *style.image, style.alpha, style.placement, report, margin);
}
