#include "platform/FolderEntries.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/PathNames.h"

bool readFolder(const std::string& folder, FolderId& id, std::vector<FolderEntry>& entries)
{
    struct stat info;
    if (stat(folder.c_str(), &info) != 0)
        return false;
    id = {info.st_dev, info.st_ino};
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    const std::string prefix = joinPath(folder, "");
    while (const dirent* found = readdir(dir)) {
        FolderEntry entry;
        entry.name = found->d_name;
        if (entry.name == "." || entry.name == "..")
            continue;
        struct stat target;
        if (stat((prefix + entry.name).c_str(), &target) != 0)
            continue;
        entry.folder = S_ISDIR(target.st_mode);
        entry.regular = S_ISREG(target.st_mode);
        entry.hidden = entry.name[0] == '.';
        entries.push_back(entry);
    }
    closedir(dir);
    return true;
}
