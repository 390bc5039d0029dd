#pragma once

#include <string>

// A font file, and the number of the face in it (for collections).
struct FontLocation {
    std::string file;
    int index = 0;
};

// The file of the installed font family of that name (case aside), in its
// regular style where it has one: fontconfig's answer on Linux, the
// system's font list on Windows. False when no installed family has that
// name; never a substitute.
bool findInstalledFont(const std::string& family, FontLocation& found);
