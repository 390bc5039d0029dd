#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include <wx/image.h>

#include "jpeg/PictureTags.h"
#include "pixel/TextRenderer.h"
#include "settings/BatchSettings.h"
#include "text/TokenText.h"

// The text watermark of a batch, made ready before its first picture: the
// text's tokens parsed, the font found and loaded. Shared by the batch's
// threads; a drawn text is kept, so that a text the same for many pictures
// is drawn once per size.
class TextMark {
public:
    // The mark the settings describe; null, with problem saying why, when
    // the text is empty or malformed, the colour no #RRGGBB, or the font
    // cannot be found or loaded. defaultFont is the font shipped with the
    // program, for an unnamed font and for the characters another lacks.
    static std::unique_ptr<TextMark> load(const BatchSettings& settings, const std::string& defaultFont,
                                          std::string& problem);

    // The text for the picture at path with these tags: its tokens filled
    // in, line breaks and other controls as spaces, runs of spaces as one.
    // Empty, so that nothing is drawn, when every token came out empty.
    std::string textFor(const PictureTags& tags, const std::string& path) const;

    // The characters of text that neither font has, in UTF-8.
    std::string missingCharacters(const std::string& text) const;

    // The text as a watermark for a width x height result whose marks keep
    // margin pixels off its edges: letters of the settings' size, smaller
    // where the text would not fit, with the colour, shadow and opacity
    // baked in. Null for an empty text.
    // Light (white) or dark (black) letters instead of the settings' colour
    // when tone is given.
    std::shared_ptr<const wxImage> image(const std::string& text, int width, int height, int margin,
                                         const char* tone = nullptr) const;

    // Whether the letters take the tone that stands out from their ground
    // ("auto" as the colour).
    bool toneByGround() const { return toneByGround_; }

private:
    TextMark() = default;

    TokenText text_;
    TextRenderer renderer_;
    unsigned char colour_[3] = {255, 255, 255};
    double size_ = 0, opacity_ = 0;
    bool shadow_ = true;
    bool toneByGround_ = false;
    mutable std::mutex drawing_;
    mutable std::map<std::tuple<std::string, int, int, int, std::string>, std::shared_ptr<const wxImage>> drawn_;
};

// The font file shipped with the program, beside it in data/ (or, for a
// terminal program installed apart, in the window's folder).
std::string shippedFont();
