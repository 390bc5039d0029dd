#include "jpeg/XmpDate.h"

#include <cctype>

namespace {

// The value of the property, written as name="..." or <name>...</name>.
std::string property(const std::string& packet, const std::string& name)
{
    for (std::size_t at = packet.find(name); at != std::string::npos; at = packet.find(name, at + 1)) {
        const std::size_t after = at + name.size();
        if (after + 1 < packet.size() && packet[after] == '=' && (packet[after + 1] == '"' || packet[after + 1] == '\'')) {
            const std::size_t end = packet.find(packet[after + 1], after + 2);
            if (end != std::string::npos)
                return packet.substr(after + 2, end - after - 2);
        } else if (at > 0 && packet[at - 1] == '<' && after < packet.size() && packet[after] == '>') {
            const std::size_t end = packet.find('<', after + 1);
            if (end != std::string::npos)
                return packet.substr(after + 1, end - after - 1);
        }
    }
    return {};
}

// "2024-07-14T18:32:05+02:00" (seconds and zone optional) as
// "2024:07:14 18:32:05"; empty for anything else.
std::string exifForm(const std::string& iso)
{
    const auto digits = [&iso](std::size_t from, std::size_t count) {
        if (from + count > iso.size())
            return false;
        for (std::size_t i = from; i < from + count; ++i)
            if (!std::isdigit(static_cast<unsigned char>(iso[i])))
                return false;
        return true;
    };
    if (!digits(0, 4) || iso.size() < 16 || iso[4] != '-' || !digits(5, 2) || iso[7] != '-' || !digits(8, 2) ||
        iso[10] != 'T' || !digits(11, 2) || iso[13] != ':' || !digits(14, 2))
        return {};
    const bool seconds = iso.size() >= 19 && iso[16] == ':' && digits(17, 2);
    return iso.substr(0, 4) + ":" + iso.substr(5, 2) + ":" + iso.substr(8, 2) + " " + iso.substr(11, 5) + ":" +
           (seconds ? iso.substr(17, 2) : "00");
}

}  // namespace

std::string xmpDateTaken(const std::string& packet)
{
    for (const char* name : {"exif:DateTimeOriginal", "xmp:CreateDate"}) {
        const std::string date = exifForm(property(packet, name));
        if (!date.empty())
            return date;
    }
    return {};
}
