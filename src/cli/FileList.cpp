#include "cli/FileList.h"

#include <cctype>
#include <set>

#include "platform/PathNames.h"
#include "text/Translated.h"

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

std::vector<std::string> readFileList(std::FILE* list, bool nul)
{
    std::vector<std::string> paths;
    std::string path;
    const int end = nul ? '\0' : '\n';
    for (int c = std::fgetc(list);; c = std::fgetc(list)) {
        if (c == EOF || c == end) {
            if (!nul && !path.empty() && path.back() == '\r')
                path.pop_back();
            if (!path.empty())
                paths.push_back(path);
            path.clear();
            if (c == EOF)
                break;
            continue;
        }
        path += static_cast<char>(c);
    }
    return paths;
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
