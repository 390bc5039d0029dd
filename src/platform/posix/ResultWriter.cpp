#include "platform/ResultWriter.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileCallFaults.h"
#include "platform/PathNames.h"
#include "platform/TemporaryName.h"
#include "text/Translated.h"

namespace {

std::string cannotWrite(int error)
{
    return said(_("cannot be written: %s"), std::strerror(error != 0 ? error : EIO));
}

// mkdir -p for the output folder the user named, links and all.
bool makeFolders(const std::string& path)
{
    std::size_t slash = 0;
    do {
        slash = path.find('/', slash + 1);
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    } while (slash != std::string::npos);
    return true;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

WriteOutcome outcomeOf(int error)
{
    switch (error) {
    case 0: return WriteOutcome::written;
    case EEXIST: return WriteOutcome::exists;
    case ENOSPC:
    case EDQUOT: return WriteOutcome::noRoom;
    case EACCES:
    case EPERM:
    case EROFS: return WriteOutcome::noRights;
    case ENOTDIR:
    case EISDIR: return WriteOutcome::notAFile;
    case ELOOP: return WriteOutcome::linkInWay;
    default: return WriteOutcome::failed;
    }
}

// Puts the temporary file in place under name; the errno of the failure,
// or 0. Without overwrite, nothing already there is replaced.
int putInPlace(int folder, const std::string& temporary, const std::string& name, bool overwrite)
{
    if (overwrite)
        return renameat(folder, temporary.c_str(), folder, name.c_str()) == 0 ? 0 : errno;
    int error = fileCallFaults().renameNoReplace;
    if (error == 0 && renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (error == 0)
        error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return error;
    // NFS and some FUSE file systems cannot rename without replacing. A
    // second name for the file fails on any name already there, atomically
    // on NFS too; the temporary name then goes.
    if (linkat(folder, temporary.c_str(), folder, name.c_str(), 0) != 0)
        return errno;
    unlinkat(folder, temporary.c_str(), 0);
    return 0;
}

}  // namespace

ResultWriter::ResultWriter(const std::string& outputFolder)
    : folder_(outputFolder), decided_(outputFolder.empty() ? std::string() : decidedPath(outputFolder))
{
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
}

std::string ResultWriter::pathOf(const std::string& relative) const
{
    return joinPath(folder_, relative);
}

namespace {

// The folder holding the relative path, opened link-free; -1 with problem
// and the system's error set when it cannot be (the words are made after
// errno is read: finding them may change it; ELOOP for a link in the way).
// create makes the missing ones.
int openFolderOf(const ResultWriter& writer, const std::string& relative, bool create, std::string& problem,
                 int& error)
{
    const std::string& base = writer.decidedFolder();
    if (create && !makeFolders(base)) {
        error = errno;
        problem = cannotWrite(error);
        return -1;
    }
    int folder = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        error = errno;
        problem = cannotWrite(error);
        return -1;
    }
    for (std::size_t start = 0, slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
        const std::string name = relative.substr(start, slash - start);
        if (name.empty() || name == ".")
            continue;
        if (create && mkdirat(folder, name.c_str(), 0777) != 0 && errno != EEXIST) {
            error = errno;
            problem = cannotWrite(error);
            close(folder);
            return -1;
        }
        const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        error = errno;
        struct stat link;
        const bool isLink = next < 0 && fstatat(folder, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
                            S_ISLNK(link.st_mode);
        close(folder);
        if (next < 0) {
            if (isLink)
                error = ELOOP;
            problem = isLink ? notWritten(said(_("%s is a symbolic link, which is never followed"),
                                               writer.pathOf(relative.substr(0, slash))))
                             : cannotWrite(error);
            return -1;
        }
        folder = next;
    }
    return folder;
}

}  // namespace

namespace {

// What the file's name in its open folder lets a write do, in its words.
WriteOutcome whatStands(int folder, const std::string& relative, bool overwrite, std::string& problem,
                        const ResultWriter& writer)
{
    struct stat status;
    if (fstatat(folder, baseName(relative).c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return WriteOutcome::written;
    if (S_ISLNK(status.st_mode)) {
        problem = notWritten(said(_("%s is a symbolic link, which is never followed"), writer.pathOf(relative)));
        return WriteOutcome::linkInWay;
    }
    if (!S_ISREG(status.st_mode)) {
        problem = notWritten(said(_("%s is not a regular file"), writer.pathOf(relative)));
        return WriteOutcome::notAFile;
    }
    if (overwrite)
        return WriteOutcome::written;
    problem = notWritten(said(_("%s already exists"), writer.pathOf(relative)));
    return WriteOutcome::exists;
}

}  // namespace

ResultWriter::Existing ResultWriter::existing(const std::string& relative) const
{
    std::string problem;
    int error = 0;
    const int folder = openFolderOf(*this, relative, false, problem, error);
    if (folder < 0)
        return error == ENOENT ? Existing::none : Existing::other;
    struct stat status;
    Existing what = Existing::none;
    if (fstatat(folder, baseName(relative).c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
        what = S_ISLNK(status.st_mode) ? Existing::link : S_ISREG(status.st_mode) ? Existing::file : Existing::other;
    close(folder);
    return what;
}

WriteOutcome ResultWriter::wouldWrite(const std::string& relative, bool overwrite, std::string& problem) const
{
    int error = 0;
    const int folder = openFolderOf(*this, relative, false, problem, error);
    if (folder < 0) {
        // Folders still missing are made by the write.
        if (error == ENOENT)
            problem.clear();
        return error == ENOENT ? WriteOutcome::written : outcomeOf(error);
    }
    const WriteOutcome outcome = whatStands(folder, relative, overwrite, problem, *this);
    close(folder);
    return outcome;
}

WriteOutcome ResultWriter::write(const std::string& relative, const std::vector<unsigned char>& bytes,
                                 bool overwrite, const timespec& modified, std::string& problem) const
{
    if (bytes.empty()) {
        problem = said(_("cannot be written: nothing to write (an empty box)"));
        return WriteOutcome::failed;
    }
    int error = 0;
    const int folder = openFolderOf(*this, relative, true, problem, error);
    if (folder < 0)
        return outcomeOf(error);
    const WriteOutcome standing = whatStands(folder, relative, overwrite, problem, *this);
    if (standing != WriteOutcome::written) {
        close(folder);
        return standing;
    }
    const std::string name = baseName(relative);
    std::string temporary;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        temporary = temporaryName(name);
        fd = openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        const struct timespec times[2] = {modified, modified};
        if (!writeAll(fd, bytes) || fsync(fd) != 0 || futimens(fd, times) != 0)
            error = errno;
        if (close(fd) != 0 && error == 0)
            error = errno;
        // The rename replaces whatever stands there now, a link included,
        // and never writes through it.
        if (error == 0)
            error = putInPlace(folder, temporary, name, overwrite);
        if (error != 0)
            unlinkat(folder, temporary.c_str(), 0);
    }
    if (error != 0)
        problem = error == EEXIST ? notWritten(said(_("%s already exists"), pathOf(relative))) : cannotWrite(error);
    else
        fsync(folder);
    close(folder);
    return outcomeOf(error);
}
