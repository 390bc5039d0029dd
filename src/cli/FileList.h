#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The pictures named by a list, as --files-from takes them: one path a
// line (a "\r" before the line feed dropped, blank lines skipped) or, with
// nul, paths ended by NUL bytes as find -print0 writes them.
std::vector<std::string> readFileList(std::FILE* list, bool nul);

// The listed paths a batch below folder takes, in the list's order: each
// once, as the folder's own listing would name it, JPEG names only; the
// others go to leftOut with why.
// False, with error, for a path that does not lie below the folder, which
// could then have no result path below --output.
bool listedPictures(const std::vector<std::string>& listed, const std::string& folder,
                    std::vector<std::string>& pictures, std::vector<std::string>& leftOut, std::string& error);
