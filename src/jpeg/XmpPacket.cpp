#include "jpeg/XmpPacket.h"

#include <cctype>
#include <cstdlib>

#include "text/Utf8Text.h"

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

// Text with &amp; &lt; &gt; &quot; &apos; and &#N; / &#xN; decoded into UTF-8.
std::string decodedEntities(const std::string& text)
{
    static const struct {
        const char* entity;
        char character;
    } named[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
        if (end == std::string::npos || end - i > 10) {
            out += text[i++];
            continue;
        }
        const std::string entity = text.substr(i, end - i + 1);
        bool known = false;
        for (const auto& n : named)
            if (entity == n.entity) {
                out += n.character;
                known = true;
            }
        unsigned long code = 0;
        if (!known && entity.size() > 3 && entity[1] == '#') {
            const bool hex = entity[2] == 'x' || entity[2] == 'X';
            const std::string digits = entity.substr(hex ? 3 : 2, entity.size() - (hex ? 4 : 3));
            char* stop = nullptr;
            code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            known = !digits.empty() && *stop == '\0' && code > 0 && code <= 0x10FFFF;
            if (known)
                out += utf8Of(static_cast<char32_t>(code));
        }
        if (!known) {
            out += text[i++];
            continue;
        }
        i = end + 1;
    }
    return out;
}

}  // namespace

std::string xmpText(const std::string& packet, const std::string& name)
{
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    const std::size_t start = packet.find(open);
    const std::size_t end = start == std::string::npos ? start : packet.find(close, start);
    if (end == std::string::npos)
        return decodedEntities(property(packet, name));
    const std::string inner = packet.substr(start + open.size(), end - start - open.size());
    const std::size_t item = inner.find("<rdf:li");
    if (item == std::string::npos)
        return inner.find('<') == std::string::npos ? decodedEntities(inner) : std::string();
    const std::size_t textStart = inner.find('>', item);
    const std::size_t textEnd = textStart == std::string::npos ? textStart : inner.find('<', textStart);
    if (textEnd == std::string::npos || inner[textStart - 1] == '/')
        return {};
    return decodedEntities(inner.substr(textStart + 1, textEnd - textStart - 1));
}

std::string xmpDateTaken(const std::string& packet)
{
    for (const char* name : {"exif:DateTimeOriginal", "xmp:CreateDate"}) {
        const std::string date = exifForm(property(packet, name));
        if (!date.empty())
            return date;
    }
    return {};
}
