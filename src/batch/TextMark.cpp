#include "batch/TextMark.h"

#include <cmath>

#include <wx/filename.h>

#include "batch/PictureTokens.h"
#include "text/ColourText.h"
#include "pixel/TextMarkImage.h"
#include "platform/InstalledFont.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"
#include "settings/PreferencesFile.h"
#include "text/Translated.h"
#include "text/Utf8Text.h"

namespace {

// Drawn texts kept at once: a batch meets few sizes.
constexpr std::size_t mostDrawn = 32;
// Beyond these a line of text cannot be read on any picture: a longer text
// is refused, a longer value from a picture cut short.
constexpr std::size_t mostCharacters = 1000;
constexpr std::size_t mostValueCharacters = 200;

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Controls as spaces, runs of spaces as one, none at either end: a
// missing value between two spaces leaves one.
std::string oneLine(const std::string& text)
{
    std::u32string line;
    for (char32_t c : codePoints(text)) {
        if (isControl(c))
            c = U' ';
        if (c != U' ' || (!line.empty() && line.back() != U' '))
            line += c;
    }
    while (!line.empty() && line.back() == U' ')
        line.pop_back();
    return utf8Of(line);
}

}  // namespace

std::string shippedFont()
{
    const wxString program = programDirectory();
    for (const wxString& folder : {program, program + wxS("/../lib/tessaly")}) {
        const std::string path = std::string((folder + wxS("/data/DejaVuSans.ttf")).utf8_str());
        if (isRegularFile(path))
            return path;
    }
    return std::string((program + wxS("/data/DejaVuSans.ttf")).utf8_str());
}

std::unique_ptr<TextMark> TextMark::load(const BatchSettings& settings, const std::string& defaultFont,
                                         std::string& problem)
{
    std::unique_ptr<TextMark> mark(new TextMark);
    if (oneLine(settings.watermarkText).empty()) {
        problem = said(_("the watermark text is empty"));
        return nullptr;
    }
    if (codePoints(settings.watermarkText).size() > mostCharacters) {
        problem = said(_("the watermark text is longer than %d characters"), static_cast<int>(mostCharacters));
        return nullptr;
    }
    if (!TokenText::parse(settings.watermarkText, pictureTokenNames(), mark->text_, problem)) {
        problem = said(_("the watermark text \"%s\": %s"), settings.watermarkText, problem);
        return nullptr;
    }
    mark->toneByGround_ = settings.textColour == "auto";
    if (!mark->toneByGround_ && !colourFromText(settings.textColour, mark->colour_)) {
        problem = said(_("the text colour %s is no #RRGGBB colour, nor auto"), settings.textColour);
        return nullptr;
    }
    FontLocation font{defaultFont, 0};
    if (!settings.textFont.empty() && isRegularFile(settings.textFont))
        font.file = settings.textFont;
    else if (!settings.textFont.empty() && !findInstalledFont(settings.textFont, font)) {
        problem = said(_("there is no font file %s and no installed font of that name"), shownPath(settings.textFont));
        return nullptr;
    }
    if (!mark->renderer_.load(font.file, font.index, defaultFont, problem))
        return nullptr;
    mark->size_ = settings.textSize;
    mark->opacity_ = settings.textOpacity;
    mark->shadow_ = settings.textShadow;
    return mark;
}

std::string TextMark::textFor(const PictureTags& tags, const std::string& path) const
{
    bool tokens = false, filled = false;
    const std::string text = oneLine(text_.expand([&](const Token& token) {
        const std::u32string value = codePoints(pictureTokenValue(token, tags, path));
        tokens = true;
        filled = filled || !value.empty() || !token.fallback.empty();
        return utf8Of(value.substr(0, mostValueCharacters));
    }));
    // "\u00a9 {artist} {year}" on a photo with neither would be a lone sign.
    return tokens && !filled ? std::string() : text;
}

std::string TextMark::missingCharacters(const std::string& text) const
{
    return utf8Of(renderer_.missing(codePoints(text)));
}

std::shared_ptr<const wxImage> TextMark::image(const std::string& text, int width, int height, int margin,
                                               const char* tone) const
{
    if (text.empty())
        return nullptr;
    const auto key = std::make_tuple(text, width, height, margin, std::string(tone ? tone : ""));
    std::lock_guard<std::mutex> lock(drawing_);
    const auto known = drawn_.find(key);
    if (known != drawn_.end())
        return known->second;
    const double em = std::max(width, height) * size_ / 100.0;
    const TextCoverage drawn = renderer_.draw(codePoints(text), em, shadow_, width - 2 * margin, height - 2 * margin);
    static const unsigned char light[3] = {255, 255, 255}, dark[3] = {0, 0, 0};
    const unsigned char* colour = !tone ? colour_ : std::string(tone) == "dark" ? dark : light;
    auto mark = std::make_shared<const wxImage>(textMarkImage(drawn, colour, opacity_));
    if (drawn_.size() >= mostDrawn)
        drawn_.clear();
    drawn_.emplace(key, mark);
    return mark;
}
