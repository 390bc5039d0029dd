#pragma once

#include <cstddef>
#include <string>

// Replaces a file's content in one step, so that the file holds either the
// old content or the new one, never a part: writes go to a temporary file
// ".NAME.tessaly-unfinished-XXXXXX" in the same folder, which commit()
// flushes to disk and renames over the target. A symbolic link stays a link;
// its target is replaced. A file its user may not write is not replaced,
// although the folder would allow the rename. Whenever a step fails, and
// when the object goes without a commit, the target stays as it was and the
// temporary file is removed; only a crash or kill can leave the temporary
// file behind, and it may then be deleted.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file; false when the target is write-protected
    // or the folder does not allow it.
    bool open();
    bool write(const void* data, std::size_t size);
    bool write(const std::string& text) { return write(text.data(), text.size()); }
    // The new file gets the old one's permission bits and owner (a new file
    // the usual 0666 less the umask) and, with keepTimes, its access and
    // modification times.
    bool commit(bool keepTimes);
    // The errno of the first step that failed; 0 while none has.
    int error() const { return error_; }

private:
    void discard();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
#ifdef _WIN32
    bool deleting_ = false;  // the system deletes the temporary file unless it is committed
#endif
};
