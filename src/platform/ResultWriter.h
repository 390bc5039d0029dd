#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "text/Translated.h"

// A result refused, and why: "not written: " in the user's words, as every
// refusal to write a result begins.
inline std::string notWritten(const std::string& why)
{
    return said(_("not written: ")) + why;
}

// Writes result files below an output folder, and only there: no symbolic
// link below the folder is ever followed, for folders or files. Each folder
// on the way is opened from the one above it without following links
// (created where missing), and the file is written all or nothing through a
// temporary file in its folder that is renamed into place; a link in the
// way is an error that names it, never followed, never replaced. The output
// folder itself is taken as the user named it.
class ResultWriter {
public:
    enum class Existing { none, file, link, other };

    explicit ResultWriter(const std::string& outputFolder);

    // relative: a '/'-separated path below the output folder, without "..".
    // A new file, or with overwrite one that replaces a regular file there;
    // it gets the modification time given. On failure, problem says why in
    // a few words.
    bool write(const std::string& relative, const std::vector<unsigned char>& bytes, bool overwrite,
               const timespec& modified, std::string& problem) const;

    // What stands at the relative path now, looking through no link; when a
    // folder on the way is in the way (a link, say), why says so as a write
    // would.
    Existing existing(const std::string& relative, std::string* why = nullptr) const;

    std::string pathOf(const std::string& relative) const;
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};
