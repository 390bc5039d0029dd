#include "platform/PictureList.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include <strings.h>

#include "platform/FileAccess.h"
#include "platform/FolderEntries.h"
#include "platform/PathNames.h"

namespace {

bool isPictureName(const std::string& name)
{
    for (const char* extension : {".jpg", ".jpeg"}) {
        const std::size_t length = std::char_traits<char>::length(extension);
        if (name.size() > length && strcasecmp(name.c_str() + name.size() - length, extension) == 0)
            return true;
    }
    return false;
}

bool listFolder(const std::string& folder, bool recurse, std::set<FolderId>& seen, std::vector<std::string>& paths)
{
    FolderId id;
    std::vector<FolderEntry> entries;
    if (!readFolder(folder, id, entries) || !seen.insert(id).second)
        return false;
    std::vector<std::string> subfolders;
    for (const FolderEntry& entry : entries) {
        if (entry.hidden && !recurse)
            continue;
        if (entry.folder) {
            if (recurse)
                subfolders.push_back(joinPath(folder, entry.name));
        } else if (entry.regular && isPictureName(entry.name)) {
            paths.push_back(joinPath(folder, entry.name));
        }
    }
    for (const std::string& subfolder : subfolders)
        listFolder(subfolder, recurse, seen, paths);
    return true;
}

// Name order as a user sees it: letters compared without case, the bytes
// breaking ties so that the order is total.
bool pathLess(const std::string& a, const std::string& b)
{
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

// Drops every name whose file an earlier name already leads to through
// symbolic links: rewriting one file twice would blend the watermark in
// twice. Hard links are separate names of their own; the rewrite gives each
// its own new file, once.
void dropLinkedTwice(std::vector<std::string>& paths)
{
    std::set<std::string> files;
    std::vector<std::string> kept;
    for (std::string& path : paths) {
        const std::string resolved = canonicalPath(path);
        if (resolved.empty() || files.insert(resolved).second)
            kept.push_back(std::move(path));
    }
    paths.swap(kept);
}

}  // namespace

bool listPictures(const std::string& folder, bool includeSubfolders, std::vector<std::string>& paths)
{
    std::set<FolderId> seen;
    paths.clear();
    if (!listFolder(folder, includeSubfolders, seen, paths))
        return false;
    std::sort(paths.begin(), paths.end(), pathLess);
    dropLinkedTwice(paths);
    return true;
}

void dropOutputFolder(std::vector<std::string>& paths, const std::string& folder, const std::string& output)
{
    if (samePlace(output, folder) || !liesWithin(output, folder))
        return;
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [&](const std::string& path) { return liesWithin(path, output); }),
                paths.end());
}
