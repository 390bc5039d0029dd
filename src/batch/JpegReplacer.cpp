#include "batch/JpegReplacer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/mstream.h>

namespace {

bool writeAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing.
void syncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool encode(wxImage& picture, long quality, wxMemoryOutputStream& out)
{
    if (!picture.IsOk())
        return false;
    picture.SetOption(wxIMAGE_OPTION_QUALITY, static_cast<int>(quality));
    return picture.SaveFile(out, wxBITMAP_TYPE_JPEG) && out.IsOk() && out.GetLength() > 0;
}

// Fills the temporary file and gives it the old file's identity.
bool fillTemporary(int fd, const wxMemoryOutputStream& data, const struct stat& old)
{
    const auto* bytes = static_cast<const unsigned char*>(data.GetOutputStreamBuffer()->GetBufferStart());
    if (!writeAll(fd, bytes, static_cast<std::size_t>(data.GetLength())))
        return false;
    if (fchmod(fd, old.st_mode & 07777) != 0)
        return false;
    // Only root may give a file away; anyone else keeps their own.
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && geteuid() == 0)
        return false;
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    return futimens(fd, times) == 0 && fsync(fd) == 0;
}

}  // namespace

bool replaceWithJpeg(wxImage& picture, const std::string& path, long quality)
{
    wxMemoryOutputStream encoded;
    if (!encode(picture, quality, encoded))
        return false;

    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return false;
    const std::string target = resolved;
    struct stat old;
    if (stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return false;

    const std::size_t slash = target.rfind('/');
    const std::string folder = target.substr(0, slash == 0 ? 1 : slash);
    std::string temporary = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".tessaly-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;

    const bool filled = fillTemporary(fd, encoded, old);
    const bool closed = close(fd) == 0;
    if (!filled || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}
