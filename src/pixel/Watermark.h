#pragma once

#include <functional>
#include <vector>

#include <wx/image.h>
#include <wx/string.h>

// Shows a message to the user (message, caption). The watermark runs on the
// batch's worker thread, which may not open a window itself.
using MessageReporter = std::function<void(const wxString& message, const wxString& caption)>;

// Blends the watermark into the picture at one of nine positions: 1..9 row
// by row from the top left, 5 the centre. A watermark with its own alpha
// channel uses it; one without uses the constant alpha and never draws a
// pixel with a channel at 255. A watermark larger than the picture is drawn
// from a shrunken copy; the shared watermark is only read. Any other
// placement code is reported once and the centre is used. A margin keeps
// the watermark that many pixels off the edges it touches. Whether any
// pixel of the picture changed: a mark can shrink to nothing, be wholly
// transparent, or blend to the colours already there.
bool ApplyWatermark(wxImage& picture, const wxImage& watermarkImage, double alpha, int placement,
                    const MessageReporter& report, int margin = 0);

// Top left corner of a w x h watermark at the placement in a W x H picture,
// margin pixels off the edges it touches (never outside the picture); false
// for a code outside 1..9.
bool wmPosition(int placement, int pictureWidth, int pictureHeight, int width, int height, int& x0, int& y0,
                int margin = 0);

// The watermark scaled, its proportions kept, so that its longer side is
// longerSide pixels (at least 1). Transparency is scaled with the colours
// (premultiplied, so no fringe of hidden colours shows). In a watermark
// without alpha channel, the pixels the blend leaves out (a channel at 255)
// stay left out, and the others never become such pixels.
wxImage watermarkAtSize(const wxImage& watermark, int longerSide);

// The size a watermark is blended at into a pictureWidth x pictureHeight
// picture: its longer side sizePercent % of the picture's (0: its own
// size), then shrunk into the picture where larger.
wxSize markSizeIn(const wxImage& watermark, int pictureWidth, int pictureHeight, double sizePercent);

// How a picture is marked: the watermark (only read), the opacity of one
// without alpha channel, its place (1..9), and its size and margin in
// percent of the picture's longer side (size 0: its own size).
struct WatermarkStyle {
    const wxImage* image = nullptr;
    double alpha = 0.2;
    int placement = 5;
    double size = 0;
    double margin = 0;
};

// Blends the watermark into the picture as the style says. It is first
// sized and kept off the edges, and brought from sRGB into the colour space
// of the picture's profile (when it keeps one), so that it shows its own
// colours. A wrong placement code goes to the reporter. Nothing is blended
// without a watermark or picture. Whether any pixel changed.
bool blendWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile, const WatermarkStyle& style,
                    const MessageReporter& report);
