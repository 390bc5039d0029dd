#include "batch/PictureTokens.h"

#include <cctype>

#include "platform/PathNames.h"

namespace {

bool digitsAt(const std::string& text, std::size_t from, std::size_t count)
{
    for (std::size_t i = from; i < from + count; ++i)
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

// EXIF's "YYYY:MM:DD HH:MM:SS" when it holds a real date; cameras without a
// clock write blanks or zeros.
bool wellFormedDate(const std::string& date)
{
    return date.size() >= 19 && digitsAt(date, 0, 4) && date[4] == ':' && digitsAt(date, 5, 2) && date[7] == ':' &&
           digitsAt(date, 8, 2) && date[10] == ' ' && digitsAt(date, 11, 2) && date[13] == ':' &&
           digitsAt(date, 14, 2) && date[16] == ':' && digitsAt(date, 17, 2) && date.compare(0, 4, "0000") != 0;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "Canon" and "Canon EOS 40D" make "Canon EOS 40D"; "NIKON CORPORATION"
// and "NIKON D750" make "NIKON D750": the make only where the model does
// not start with its first word.
std::string camera(const std::string& make, const std::string& model)
{
    const std::string brand = lowered(make.substr(0, make.find(' ')));
    if (model.empty())
        return make;
    if (brand.empty() || lowered(model).compare(0, brand.size(), brand) == 0)
        return model;
    return make + " " + model;
}

}  // namespace

const std::vector<std::string>& pictureTokenNames()
{
    static const std::vector<std::string> names = {"name",   "date",   "year",     "time",
                                                   "camera", "lens",   "artist",   "copyright"};
    return names;
}

std::string pictureTokenValue(const Token& token, const PictureTags& tags, const std::string& path)
{
    const std::string& n = token.name;
    const bool dated = wellFormedDate(tags.dateTaken);
    const std::string& d = tags.dateTaken;
    if (n == "name")
        return stemOf(path);
    if (n == "date")
        return dated ? d.substr(0, 4) + "-" + d.substr(5, 2) + "-" + d.substr(8, 2) : std::string();
    if (n == "year")
        return dated ? d.substr(0, 4) : std::string();
    if (n == "time")
        return dated ? d.substr(11, 8) : std::string();
    if (n == "camera")
        return camera(tags.make, tags.model);
    if (n == "lens")
        return tags.lens;
    if (n == "artist")
        return tags.artist;
    if (n == "copyright")
        return tags.copyright;
    return {};
}
