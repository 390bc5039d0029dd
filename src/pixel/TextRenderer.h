#pragma once

#include <memory>
#include <string>
#include <vector>

// The coverage of a drawn line of text, one byte a pixel, row by row, and
// that of its shadow (empty when none was asked for) on the same grid.
struct TextCoverage {
    int width = 0, height = 0;
    std::vector<unsigned char> text, shadow;
};

// Draws one line of text with a font file: HarfBuzz shapes it (kerning,
// ligatures, marks, right-to-left scripts), FreeType draws the outlines
// unhinted, so that the same font file gives the same pixels on every
// system. Characters the font lacks come from the fallback font. Not for
// use by two threads at once.
class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Loads face number index of the font file, and the fallback font
    // (face 0). False, with problem saying why, when either cannot be used.
    bool load(const std::string& fontFile, int index, const std::string& fallbackFile, std::string& problem);

    // The characters of text that neither font has; controls, spaces and
    // the invisible joiners and selectors are never missing.
    std::u32string missing(const std::u32string& text) const;

    // The text with letters of emSize pixels (the fonts' em), made smaller
    // where that is needed to fit, shadow included, into maxWidth x
    // maxHeight. Characters neither font has are left out.
    TextCoverage draw(const std::u32string& text, double emSize, bool shadow, int maxWidth, int maxHeight) const;

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};
