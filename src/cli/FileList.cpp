#include "cli/FileList.h"

#include <cctype>
#include <cstring>
#include <set>

#include "platform/LocalText.h"
#include "platform/PathNames.h"
#include "text/Translated.h"
#include "text/Utf8Text.h"

namespace {

bool jpegName(const std::string& path)
{
    std::string end = path.substr(path.size() > 5 ? path.size() - 5 : 0);
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end.size() >= 4 && (end.compare(end.size() - 4, 4, ".jpg") == 0 || end == ".jpeg");
}

// The path's folder resolved, its own name kept: a link is taken under the
// name it was listed by, as in a folder's listing.
std::string fullName(const std::string& path)
{
    return joinPath(fullPath(folderOf(path)), baseName(path));
}

}  // namespace

bool readFileList(std::FILE* list, bool nul, bool fromConsole, std::vector<std::string>& paths, std::string& why)
{
    std::string bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, list)) > 0;)
        bytes.append(buffer, got);
    std::string text;
    const auto marked = [&bytes](const char* mark) { return bytes.compare(0, std::strlen(mark), mark) == 0; };
    if (marked("\xEF\xBB\xBF")) {
        text = bytes.substr(3);
    } else if (marked("\xFF\xFE") || marked("\xFE\xFF")) {
        if (!utf8FromUtf16(bytes.substr(2), marked("\xFE\xFF"), text)) {
            why = said(_("its byte-order mark says UTF-16, but what follows is not"));
            return false;
        }
    } else if (!nul && bytes.find('\0') != std::string::npos) {
        why = said(_("it holds NUL bytes: UTF-16 without its byte-order mark, or a list for --null"));
        return false;
    } else if (wellFormed(bytes) == bytes || !textFromLocalCodePage(bytes, fromConsole, text)) {
        text = bytes;
    }
    const char end = nul ? '\0' : '\n';
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find(end, start);
        if (stop == std::string::npos)
            stop = text.size();
        std::string path = text.substr(start, stop - start);
        if (!nul && !path.empty() && path.back() == '\r')
            path.pop_back();
        if (!path.empty())
            paths.push_back(path);
        start = stop + 1;
    }
    return true;
}

bool listedPictures(const std::vector<std::string>& listed, const std::string& folder,
                    std::vector<std::string>& pictures, std::vector<std::string>& leftOut, std::string& error)
{
    const std::string base = joinPath(fullPath(folder), "");
    std::set<std::string> seen;
    for (const std::string& path : listed) {
        if (!jpegName(path)) {
            leftOut.push_back(said(_("%s: no .jpg or .jpeg name, left out"), shownPath(path)));
            continue;
        }
        const std::string full = fullName(path);
        if (full.compare(0, base.size(), base) != 0) {
            error = said(_("%s does not lie below %s, where the list's results are named from"), shownPath(path),
                         shownPath(folder));
            return false;
        }
        // Named as a folder's listing names them: below the folder as given.
        if (seen.insert(full).second)
            pictures.push_back(joinPath(folder, full.substr(base.size())));
    }
    return true;
}
