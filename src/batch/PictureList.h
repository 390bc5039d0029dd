#pragma once

#include <string>
#include <vector>

// Full UTF-8 paths of the JPEG pictures (".jpg" and ".jpeg" in any letter
// case) in a folder, sorted by path. Without subfolders: the folder's own
// files, hidden ones excluded. With subfolders: the whole tree, hidden
// files and folders included; a folder reached twice through symbolic
// links is listed once. False when the folder cannot be opened.
bool listPictures(const std::string& folder, bool includeSubfolders, std::vector<std::string>& paths);
