#pragma once

#include <string>
#include <vector>

// Full UTF-8 paths of the JPEG pictures (".jpg" and ".jpeg" in any letter
// case) in a folder, sorted by path. Only regular files and links to them
// count: a FIFO, device, socket or folder with such a name is no picture.
// Without subfolders: the folder's own files, hidden ones excluded. With
// subfolders: the whole tree, hidden files and folders included; a folder
// reached twice through symbolic links is listed once. A file that several
// names lead to through symbolic links is listed once, under the first
// name. False when the folder cannot be opened.
bool listPictures(const std::string& folder, bool includeSubfolders, std::vector<std::string>& paths);

// Drops the pictures below the output folder when that lies inside the
// processed folder: they are results, and a second run must not process
// them again. An output folder that holds the processed one drops nothing.
void dropOutputFolder(std::vector<std::string>& paths, const std::string& folder, const std::string& output);

