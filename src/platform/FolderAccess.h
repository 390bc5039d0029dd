#pragma once

#include <string>

// Whether new files can be made in an existing folder, as the rename that
// puts a result in place needs; when not, reason says why in the system's
// words ("Permission denied", "Read-only file system").
bool canCreateFilesIn(const std::string& folder, std::string& reason);

// Whether nothing, or something other than a folder, stands at the path;
// a folder that cannot be read is there.
bool noFolderAt(const std::string& path);

// The same for a folder that may not exist yet: the nearest folder on its
// way that exists must let it be made.
bool canCreateFolder(const std::string& folder, std::string& reason);
