#include "platform/ReplacingFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/PathNames.h"

namespace {

mode_t defaultMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// ".NAME.tessaly-unfinished-XXXXXX", with NAME cut short (at a UTF-8
// character boundary) as far as the file system's name limit needs: a
// picture whose name is near the limit must still be replaceable.
std::string temporaryPattern(const std::string& folder, const std::string& name)
{
    static const std::string suffix = ".tessaly-unfinished-XXXXXX";
    long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = 255;
    std::size_t keep = std::min(name.size(), static_cast<std::size_t>(limit) - 1 - suffix.size());
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return joinPath(folder, "." + name.substr(0, keep) + suffix);
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : target_(path)
{
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved))
        target_ = resolved;
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFile::open()
{
    // The rename would go past the file's own write protection, which only
    // the folder's permissions govern: ask the file first.
    struct stat old;
    if (stat(target_.c_str(), &old) == 0 && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
        error_ = errno;
        return false;
    }
    std::string pattern = temporaryPattern(folderOf(target_), baseName(target_));
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    temporary_ = pattern;
    failed_ = false;
    return true;
}

bool ReplacingFile::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (fd_ >= 0 && !failed_ && size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            failed_ = true;
            error_ = written < 0 ? errno : ENOSPC;
        }
        else {
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return fd_ >= 0 && !failed_;
}

bool ReplacingFile::commit(bool keepTimes)
{
    if (fd_ < 0 || failed_) {
        discard();
        return false;
    }
    struct stat old;
    const bool existed = stat(target_.c_str(), &old) == 0;
    bool ok = fchmod(fd_, existed ? old.st_mode & 07777 : defaultMode()) == 0;
    // Only root may give a file away; anyone else keeps their own.
    if (ok && existed && fchown(fd_, old.st_uid, old.st_gid) != 0 && geteuid() == 0)
        ok = false;
    if (ok && existed && keepTimes) {
        const struct timespec times[2] = {old.st_atim, old.st_mtim};
        ok = futimens(fd_, times) == 0;
    }
    ok = ok && fsync(fd_) == 0;
    ok = close(fd_) == 0 && ok;
    fd_ = -1;
    if (!ok || rename(temporary_.c_str(), target_.c_str()) != 0) {
        if (error_ == 0)
            error_ = errno;
        discard();
        return false;
    }
    temporary_.clear();
    // Makes the rename itself durable; a failure here loses nothing.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}
