#include "pixel/TextRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb.h>

#include "platform/RegularFile.h"
#include "text/Translated.h"

namespace {

// The smallest em FreeType takes (in 26.6): a text too long for its
// picture still leaves its trace rather than nothing.
constexpr double smallest = 4.0 / 64;

// Font files beyond this are refused rather than read whole.
constexpr long mostFontBytes = 128L << 20;

bool readWhole(const std::string& path, std::vector<unsigned char>& bytes, std::string& problem)
{
    std::FILE* file = openRegularFile(path);
    if (!file) {
        problem = said(_("cannot open the font file %s"), path);
        return false;
    }
    bytes.clear();
    unsigned char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= std::size_t(mostFontBytes))
        bytes.insert(bytes.end(), block, block + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || bytes.size() > std::size_t(mostFontBytes)) {
        problem = failed ? said(_("cannot read the font file %s"), path) : said(_("the font file %s is too large"), path);
        return false;
    }
    return true;
}

// Zero-width characters that shape with their neighbours: never drawn on
// their own, never missing.
bool invisible(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) ||
           c == 0xFEFF;
}

// Whole pixels below and above a 26.6 position.
FT_Pos floorPixel(FT_Pos v)
{
    return v >= 0 ? v / 64 : -((-v + 63) / 64);
}

FT_Pos ceilPixel(FT_Pos v)
{
    return -floorPixel(-v);
}

struct PlacedGlyph {
    int font;
    unsigned glyph;
    FT_Pos x, y;  // pen position in 26.6 pixels
};

struct Box {
    FT_Pos left = 0, right = 0, bottom = 0, top = 0;
};

// Adds a span's coverage, keeping the larger where glyphs overlap.
struct SpanTarget {
    unsigned char* pixels;
    int width, height;
};

void addSpans(int y, int count, const FT_Span* spans, void* user)
{
    auto* target = static_cast<SpanTarget*>(user);
    const int row = target->height - 1 - y;
    if (row < 0 || row >= target->height)
        return;
    for (int i = 0; i < count; ++i) {
        const int from = std::max(0, int(spans[i].x));
        const int to = std::min(target->width, int(spans[i].x) + int(spans[i].len));
        unsigned char* p = target->pixels + std::size_t(row) * target->width;
        for (int x = from; x < to; ++x)
            p[x] = std::max(p[x], spans[i].coverage);
    }
}

// One pass of a box filter of radius r along rows (step 1) or columns.
void boxPass(std::vector<int>& values, int width, int height, int r, bool alongRows)
{
    const int lines = alongRows ? height : width, length = alongRows ? width : height;
    const std::size_t step = alongRows ? 1 : std::size_t(width);
    std::vector<int> line(length);
    for (int l = 0; l < lines; ++l) {
        int* first = values.data() + (alongRows ? std::size_t(l) * width : std::size_t(l));
        for (int i = 0; i < length; ++i)
            line[i] = first[i * step];
        int sum = 0;
        for (int i = -r; i <= r; ++i)
            sum += i >= 0 && i < length ? line[i] : 0;
        for (int i = 0; i < length; ++i) {
            first[i * step] = sum / (2 * r + 1);
            const int out = i - r, in = i + r + 1;
            sum += (in < length ? line[in] : 0) - (out >= 0 ? line[out] : 0);
        }
    }
}

}  // namespace

struct TextRenderer::Fonts {
    struct Font {
        std::vector<unsigned char> bytes;
        FT_Face face = nullptr;
        hb_font_t* shaper = nullptr;
    };
    FT_Library library = nullptr;
    Font fonts[2];  // the chosen font, then the fallback

    ~Fonts()
    {
        for (Font& font : fonts) {
            if (font.shaper)
                hb_font_destroy(font.shaper);
            if (font.face)
                FT_Done_Face(font.face);
        }
        if (library)
            FT_Done_FreeType(library);
    }

    bool open(Font& font, const std::string& path, int index, std::string& problem)
    {
        if (!readWhole(path, font.bytes, problem))
            return false;
        if (FT_New_Memory_Face(library, font.bytes.data(), FT_Long(font.bytes.size()), index, &font.face) != 0 ||
            !FT_IS_SCALABLE(font.face)) {
            problem = said(_("the file %s is no font with outlines"), path);
            return false;
        }
        hb_blob_t* blob = hb_blob_create(reinterpret_cast<const char*>(font.bytes.data()),
                                         static_cast<unsigned>(font.bytes.size()), HB_MEMORY_MODE_READONLY, nullptr,
                                         nullptr);
        hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(index));
        font.shaper = hb_font_create(face);
        hb_face_destroy(face);
        hb_blob_destroy(blob);
        const int units = int(font.face->units_per_EM);
        hb_font_set_scale(font.shaper, units, units);
        return true;
    }

    // Which font draws c: 0, 1, or -1 for neither.
    int fontFor(char32_t c) const
    {
        hb_codepoint_t glyph = 0;
        for (int i = 0; i < 2; ++i)
            if (hb_font_get_nominal_glyph(fonts[i].shaper, c, &glyph))
                return i;
        return -1;
    }

    // The glyphs of the text, shaped run by run of one font, at emSize.
    std::vector<PlacedGlyph> place(const std::u32string& text, double emSize) const
    {
        std::vector<PlacedGlyph> placed;
        double pen = 0;  // in ems
        std::size_t start = 0;
        while (start < text.size()) {
            int font = fontFor(text[start]);
            if (font < 0 && !invisible(text[start])) {
                ++start;
                continue;
            }
            font = std::max(font, 0);
            std::size_t end = start + 1;
            while (end < text.size() && (invisible(text[end]) || fontFor(text[end]) == font))
                ++end;
            hb_buffer_t* buffer = hb_buffer_create();
            hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()), int(text.size()),
                                unsigned(start), int(end - start));
            hb_buffer_guess_segment_properties(buffer);
            hb_shape(fonts[font].shaper, buffer, nullptr, 0);
            unsigned count = 0;
            const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
            const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
            const double units = fonts[font].face->units_per_EM;
            for (unsigned i = 0; i < count; ++i) {
                const double x = pen + position[i].x_offset / units, y = position[i].y_offset / units;
                placed.push_back({font, info[i].codepoint, FT_Pos(std::lround(x * emSize * 64)),
                                  FT_Pos(std::lround(y * emSize * 64))});
                pen += position[i].x_advance / units;
            }
            hb_buffer_destroy(buffer);
            start = end;
        }
        return placed;
    }

    // Loads a glyph's unhinted outline at emSize, moved to its place.
    FT_Outline* outline(const PlacedGlyph& g, double emSize) const
    {
        FT_Face face = fonts[g.font].face;
        if (FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(emSize * 64)), 72, 72) != 0 ||
            FT_Load_Glyph(face, g.glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return nullptr;
        FT_Outline_Translate(&face->glyph->outline, g.x, g.y);
        return &face->glyph->outline;
    }

    // The ink of the glyphs, widened to the chosen font's line from its
    // ascender to its descender, so that every text sits on one baseline.
    Box bounds(const std::vector<PlacedGlyph>& glyphs, double emSize) const
    {
        const FT_Face face = fonts[0].face;
        Box box;
        box.top = FT_Pos(std::lround(double(face->ascender) / face->units_per_EM * emSize * 64));
        box.bottom = FT_Pos(std::lround(double(face->descender) / face->units_per_EM * emSize * 64));
        bool first = true;
        for (const PlacedGlyph& g : glyphs) {
            FT_Outline* o = outline(g, emSize);
            if (!o || o->n_points == 0)
                continue;
            FT_BBox ink;
            FT_Outline_Get_CBox(o, &ink);
            box.left = first ? ink.xMin : std::min(box.left, ink.xMin);
            box.right = first ? ink.xMax : std::max(box.right, ink.xMax);
            box.bottom = std::min(box.bottom, ink.yMin);
            box.top = std::max(box.top, ink.yMax);
            first = false;
        }
        if (first)
            box.left = box.right = 0;
        return box;
    }
};

TextRenderer::TextRenderer() = default;
TextRenderer::~TextRenderer() = default;

bool TextRenderer::load(const std::string& fontFile, int index, const std::string& fallbackFile, std::string& problem)
{
    fonts_ = std::make_unique<Fonts>();
    if (FT_Init_FreeType(&fonts_->library) != 0) {
        problem = said(_("the font engine cannot start"));
        fonts_.reset();
        return false;
    }
    if (!fonts_->open(fonts_->fonts[0], fontFile, index, problem) ||
        !fonts_->open(fonts_->fonts[1], fallbackFile, 0, problem)) {
        fonts_.reset();
        return false;
    }
    return true;
}

std::u32string TextRenderer::missing(const std::u32string& text) const
{
    std::u32string lacking;
    for (char32_t c : text)
        if (!invisible(c) && c != U' ' && fonts_->fontFor(c) < 0 && lacking.find(c) == std::u32string::npos)
            lacking += c;
    return lacking;
}

TextCoverage TextRenderer::draw(const std::u32string& text, double emSize, bool shadow, int maxWidth,
                                int maxHeight) const
{
    TextCoverage drawn;
    if (!fonts_ || maxWidth < 1 || maxHeight < 1)
        return drawn;
    // Unhinted outlines scale linearly: a text too wide is drawn again at
    // the size that fits, a little smaller each time the rounding disagrees.
    double size = std::max(smallest, emSize);
    std::vector<PlacedGlyph> glyphs;
    Box box;
    int radius = 0, offset = 0, pad = 0, width = 0, height = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        glyphs = fonts_->place(text, size);
        box = fonts_->bounds(glyphs, size);
        radius = shadow ? std::max(1, int(std::lround(size / 16))) : 0;
        offset = shadow ? std::max(1, radius / 2) : 0;
        pad = shadow ? 2 * radius + offset : 0;
        width = int(ceilPixel(box.right) - floorPixel(box.left)) + 2 * pad;
        height = int(ceilPixel(box.top) - floorPixel(box.bottom)) + 2 * pad;
        if ((width <= maxWidth && height <= maxHeight) || size <= smallest)
            break;
        size = std::max(smallest, size * std::min(double(maxWidth) / width, double(maxHeight) / height) * 0.995);
    }
    if (width > maxWidth || height > maxHeight || width <= 2 * pad)
        return drawn;
    drawn.width = width;
    drawn.height = height;
    drawn.text.assign(std::size_t(width) * height, 0);
    SpanTarget target{drawn.text.data(), width, height};
    FT_Raster_Params params{};
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = addSpans;
    params.user = &target;
    params.clip_box = {0, 0, width, height};
    const FT_Pos moveX = (pad - floorPixel(box.left)) * 64, moveY = (pad - floorPixel(box.bottom)) * 64;
    for (const PlacedGlyph& g : glyphs) {
        FT_Outline* o = fonts_->outline({g.font, g.glyph, g.x + moveX, g.y + moveY}, size);
        if (o)
            FT_Outline_Render(fonts_->library, o, &params);
    }
    if (!shadow)
        return drawn;
    // A soft shadow: the letters blurred twice by a box (close to a
    // Gaussian), strengthened, and moved down and right.
    std::vector<int> soft(drawn.text.begin(), drawn.text.end());
    for (int pass = 0; pass < 2; ++pass) {
        boxPass(soft, width, height, radius, true);
        boxPass(soft, width, height, radius, false);
    }
    drawn.shadow.assign(drawn.text.size(), 0);
    for (int y = offset; y < height; ++y)
        for (int x = offset; x < width; ++x)
            drawn.shadow[std::size_t(y) * width + x] =
                static_cast<unsigned char>(std::min(255, 2 * soft[std::size_t(y - offset) * width + x - offset]));
    return drawn;
}
