#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The pictures named by a list, as --files-from takes them: one path a
// line (a "\r" before the line feed dropped, blank lines skipped) or, with
// nul, paths ended by NUL bytes as find -print0 writes them. A byte-order
// mark says how the list is written (UTF-8, UTF-16 LE or BE: PowerShell's
// ">" writes UTF-16); without one it is UTF-8, or where it is not, the
// code page Windows tools write in (fromConsole: the list comes from a
// console's pipe). False, with why, for a list that cannot be read so.
bool readFileList(std::FILE* list, bool nul, bool fromConsole, std::vector<std::string>& paths, std::string& why);

// The listed paths a batch below folder takes, in the list's order: each
// once, as the folder's own listing would name it, JPEG names only; the
// others go to leftOut with why.
// False, with error, for a path that does not lie below the folder, which
// could then have no result path below --output.
bool listedPictures(const std::vector<std::string>& listed, const std::string& folder,
                    std::vector<std::string>& pictures, std::vector<std::string>& leftOut, std::string& error);
