#include "batch/UnwritableFolder.h"

#include "platform/FolderAccess.h"
#include "platform/PathNames.h"

std::string unwritableFolder(const std::vector<std::string>& pictures, const std::string& outputFolder,
                             std::string& reason)
{
    if (pictures.empty())
        return {};
    if (!outputFolder.empty())
        return canCreateFolder(outputFolder, reason) ? std::string() : outputFolder;
    std::string first, firstReason, folder;
    for (const std::string& path : pictures) {
        const std::string next = folderOf(path);
        if (next == folder)
            continue;
        folder = next;
        std::string why;
        if (canCreateFilesIn(folder, why))
            return {};
        if (first.empty()) {
            first = folder;
            firstReason = why;
        }
    }
    reason = firstReason;
    return first;
}
