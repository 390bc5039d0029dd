#include "platform/ResultWriter.h"

#include <cerrno>
#include <cstring>

#include "platform/PathNames.h"
#include "platform/TemporaryName.h"
#include "platform/windows/WideText.h"
#include "text/Translated.h"

namespace {

std::string cannotWrite(int error)
{
    return said(_("cannot be written: %s"), std::strerror(error != 0 ? error : EIO));
}

// The folders on the way, held open while the result is written: without
// the right to share deletion, none of them can be renamed, removed or
// swapped for a link meanwhile.
class HeldFolders {
public:
    HeldFolders() = default;
    HeldFolders(const HeldFolders&) = delete;
    HeldFolders& operator=(const HeldFolders&) = delete;
    ~HeldFolders()
    {
        for (HANDLE folder : folders_)
            CloseHandle(folder);
    }

    enum class Step { held, missing, link, failed };

    // Holds a folder; a link or junction is looked through only when follow is set.
    Step hold(const std::wstring& path, bool follow, int& error)
    {
        const HANDLE folder =
            CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
        if (folder == INVALID_HANDLE_VALUE) {
            const DWORD why = GetLastError();
            error = errnoOf(why);
            return why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND ? Step::missing : Step::failed;
        }
        folders_.push_back(folder);
        DWORD attributes = 0;
        if (!attributesOf(folder, attributes)) {
            error = errnoOf(GetLastError());
            return Step::failed;
        }
        if (isLinkHandle(folder, attributes))
            return Step::link;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error = ENOTDIR;
            return Step::failed;
        }
        return Step::held;
    }

private:
    std::vector<HANDLE> folders_;
};

// mkdir -p for the output folder the user named, links and all.
bool makeFolders(const std::string& path, int& error)
{
    std::size_t slash = 0;
    do {
        slash = path.find_first_of("/\\", slash + 1);
        const std::string folder = path.substr(0, slash);
        if (folder.size() == 2 && folder[1] == ':')
            continue;
        if (!CreateDirectoryW(wideName(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            error = errnoOf(GetLastError());
            return false;
        }
    } while (slash != std::string::npos);
    return true;
}

std::string linkWords(const std::string& path)
{
    return notWritten(said(_("%s is a symbolic link or junction, which is never followed"), path));
}

WriteOutcome outcomeOf(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return WriteOutcome::written;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return WriteOutcome::exists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return WriteOutcome::noRoom;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return WriteOutcome::noRights;
    case ERROR_DIRECTORY: return WriteOutcome::notAFile;
    default: return WriteOutcome::failed;
    }
}

WriteOutcome outcomeOfErrno(int error)
{
    switch (error) {
    case EEXIST: return WriteOutcome::exists;
    case ENOSPC: return WriteOutcome::noRoom;
    case EACCES: return WriteOutcome::noRights;
    case ENOTDIR: return WriteOutcome::notAFile;
    default: return WriteOutcome::failed;
    }
}

}  // namespace

ResultWriter::ResultWriter(const std::string& outputFolder)
    : folder_(outputFolder), decided_(outputFolder.empty() ? std::string() : decidedPath(outputFolder))
{
    while (folder_.size() > 1 && (folder_.back() == '/' || folder_.back() == '\\') &&
           !(folder_.size() == 3 && folder_[1] == ':'))
        folder_.pop_back();
}

std::string ResultWriter::pathOf(const std::string& relative) const
{
    return joinPath(folder_, relative);
}

namespace {

// Holds every folder down to the one of the relative path; false with
// problem set (or missing, when a folder is not there and create is off).
bool holdWay(const ResultWriter& writer, const std::string& folder, const std::string& relative, bool create,
             HeldFolders& held, std::string& problem, bool& missing, WriteOutcome& outcome)
{
    int error = 0;
    missing = false;
    outcome = WriteOutcome::failed;
    if (create && !makeFolders(folder, error)) {
        problem = cannotWrite(error);
        outcome = outcomeOfErrno(error);
        return false;
    }
    HeldFolders::Step step = held.hold(wideName(folder), true, error);
    for (std::size_t start = 0, slash; step == HeldFolders::Step::held &&
                                       (slash = relative.find('/', start)) != std::string::npos;
         start = slash + 1) {
        const std::string name = relative.substr(start, slash - start);
        if (name.empty() || name == ".")
            continue;
        const std::wstring path = wideName(writer.pathOf(relative.substr(0, slash)));
        if (create && !CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            outcome = outcomeOf(GetLastError());
            problem = cannotWrite(errnoOf(GetLastError()));
            return false;
        }
        step = held.hold(path, false, error);
        if (step == HeldFolders::Step::link) {
            problem = linkWords(writer.pathOf(relative.substr(0, slash)));
            outcome = WriteOutcome::linkInWay;
            return false;
        }
    }
    if (step == HeldFolders::Step::held)
        return true;
    missing = step == HeldFolders::Step::missing;
    if (problem.empty())
        problem = cannotWrite(error);
    outcome = outcomeOfErrno(error);
    return false;
}

ResultWriter::Existing whatStands(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ResultWriter::Existing::none;
    if (isLinkAt(path, attributes))
        return ResultWriter::Existing::link;
    return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE) ? ResultWriter::Existing::other
                                                                           : ResultWriter::Existing::file;
}

// What the name lets a write do, in its words.
WriteOutcome standing(const ResultWriter& writer, const std::string& relative, bool overwrite, std::string& problem)
{
    const std::string target = writer.pathOf(relative);
    switch (whatStands(wideName(joinPath(writer.decidedFolder(), relative)))) {
    case ResultWriter::Existing::link:
        problem = linkWords(target);
        return WriteOutcome::linkInWay;
    case ResultWriter::Existing::other:
        problem = notWritten(said(_("%s is not a regular file"), target));
        return WriteOutcome::notAFile;
    case ResultWriter::Existing::file:
        if (overwrite)
            return WriteOutcome::written;
        problem = notWritten(said(_("%s already exists"), target));
        return WriteOutcome::exists;
    case ResultWriter::Existing::none:
        break;
    }
    return WriteOutcome::written;
}

}  // namespace

WriteOutcome ResultWriter::wouldWrite(const std::string& relative, bool overwrite, std::string& problem) const
{
    HeldFolders held;
    bool missing = false;
    WriteOutcome outcome = WriteOutcome::failed;
    if (!holdWay(*this, decided_, relative, false, held, problem, missing, outcome)) {
        // Folders still missing are made by the write.
        if (missing)
            problem.clear();
        return missing ? WriteOutcome::written : outcome;
    }
    return standing(*this, relative, overwrite, problem);
}

ResultWriter::Existing ResultWriter::existing(const std::string& relative) const
{
    HeldFolders held;
    std::string problem;
    bool missing = false;
    WriteOutcome outcome = WriteOutcome::failed;
    if (!holdWay(*this, decided_, relative, false, held, problem, missing, outcome))
        return missing ? Existing::none : Existing::other;
    return whatStands(wideName(joinPath(decided_, relative)));
}

WriteOutcome ResultWriter::write(const std::string& relative, const std::vector<unsigned char>& bytes,
                                 bool overwrite, const timespec& modified, std::string& problem) const
{
    if (bytes.empty()) {
        problem = said(_("cannot be written: nothing to write (an empty box)"));
        return WriteOutcome::failed;
    }
    HeldFolders held;
    bool missing = false;
    WriteOutcome outcome = WriteOutcome::failed;
    if (!holdWay(*this, decided_, relative, true, held, problem, missing, outcome))
        return outcome;
    outcome = standing(*this, relative, overwrite, problem);
    if (outcome != WriteOutcome::written)
        return outcome;
    const std::string target = pathOf(relative);
    const std::string place = joinPath(decided_, relative);
    const std::string folder = folderOf(place);
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; file == INVALID_HANDLE_VALUE && tries < 100; ++tries) {
        temporary = wideName(joinPath(folder, temporaryName(baseName(relative))));
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    const bool deleting = file != INVALID_HANDLE_VALUE && deleteOnClose(file, true);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        problem = cannotWrite(errnoOf(error));
        return outcomeOf(error);
    }
    DWORD error = ERROR_SUCCESS;
    for (std::size_t done = 0; done < bytes.size() && error == ERROR_SUCCESS;) {
        DWORD written = 0;
        const std::size_t left = bytes.size() - done;
        if (!WriteFile(file, bytes.data() + done, left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left), &written,
                       nullptr) ||
            written == 0)
            error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
        done += written;
    }
    const FILETIME time = fileTimeOf(modified);
    if (error == ERROR_SUCCESS && (!SetFileTime(file, nullptr, nullptr, &time) || !FlushFileBuffers(file) ||
                                   (deleting && !deleteOnClose(file, false))))
        error = GetLastError();
    CloseHandle(file);
    // Without overwrite nothing already there is replaced; with it, a
    // regular file is, and the move never writes through a link.
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), wideName(place).c_str(),
                     MOVEFILE_WRITE_THROUGH | (overwrite ? MOVEFILE_REPLACE_EXISTING : 0)))
        error = GetLastError();
    if (error == ERROR_SUCCESS)
        return WriteOutcome::written;
    DeleteFileW(temporary.c_str());
    outcome = outcomeOf(error);
    problem = outcome == WriteOutcome::exists ? notWritten(said(_("%s already exists"), target))
                                              : cannotWrite(errnoOf(error));
    return outcome;
}
