#pragma once

#include <string>
#include <utility>
#include <vector>

// One name in a folder, as listing pictures needs it: links looked through
// to what they lead to.
struct FolderEntry {
    std::string name;
    bool folder = false;   // a folder, or a link to one
    bool regular = false;  // a regular file, or a link to one
    bool hidden = false;   // a name with a leading dot, or marked hidden by the system
};

// The file system and the place on it: a folder met twice is the same id.
using FolderId = std::pair<unsigned long long, unsigned long long>;

// The names in a folder but "." and "..", and the folder's own id; false
// when it cannot be read.
bool readFolder(const std::string& folder, FolderId& id, std::vector<FolderEntry>& entries);
