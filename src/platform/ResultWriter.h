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

// What became of a result, or would become of it: the one answer the
// batch reports, in a dry run and in the real one alike.
enum class WriteOutcome {
    written,    // in place (asked without writing: nothing stands in the way)
    exists,     // a file is there, and it was not to be replaced
    linkInWay,  // a symbolic link or junction at the name or on the way
    notAFile,   // a folder or something else at the name, or a file where a folder is needed
    noRoom,     // the disk or the user's quota is full
    noRights,   // the folder or the file may not be written
    failed,     // any other failure of the system
};

// Writes result files below an output folder, and only there: no symbolic
// link below the folder is ever followed, for folders or files. Each folder
// on the way is opened from the one above it without following links
// (created where missing), and the file is written all or nothing through a
// temporary file in its folder that is renamed into place; a link in the
// way is an error that names it, never followed, never replaced. The output
// folder itself is taken where decidedPath says the user's name leads, so
// that the folder checked before the batch is the folder written.
class ResultWriter {
public:
    enum class Existing { none, file, link, other };

    explicit ResultWriter(const std::string& outputFolder);

    // relative: a '/'-separated path below the output folder, without "..".
    // A new file, or with overwrite one that replaces a regular file there;
    // it gets the modification time given. Unless written, problem says
    // why in a few words.
    WriteOutcome write(const std::string& relative, const std::vector<unsigned char>& bytes, bool overwrite,
                       const timespec& modified, std::string& problem) const;

    // What write would answer now, asked without writing anything: written
    // when nothing stands in the way.
    WriteOutcome wouldWrite(const std::string& relative, bool overwrite, std::string& problem) const;

    // What stands at the relative path now, looking through no link; other
    // when a folder on the way is in the way (a link, say).
    Existing existing(const std::string& relative) const;

    // The result's path as the user named the folder, for messages.
    std::string pathOf(const std::string& relative) const;
    // The folder where the results go, as decidedPath found it.
    const std::string& decidedFolder() const { return decided_; }

private:
    std::string folder_;
    std::string decided_;
};
