#include "batch/JpegReplacer.h"

#include <sys/stat.h>
#include <wx/mstream.h>

#include "diag/ReplacingFile.h"
#include "jpeg/IccProfile.h"

std::vector<unsigned char> jpegBytes(wxImage& picture, long quality, const std::vector<unsigned char>& iccProfile)
{
    if (!picture.IsOk())
        return {};
    // The toolkit's encoder does not report failed writes, so it writes to
    // memory and the file is written and checked here.
    wxMemoryOutputStream encoded;
    picture.SetOption(wxIMAGE_OPTION_QUALITY, static_cast<int>(quality));
    if (!picture.SaveFile(encoded, wxBITMAP_TYPE_JPEG) || encoded.GetLength() <= 0)
        return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(encoded.GetLength()));
    encoded.CopyTo(bytes.data(), bytes.size());
    // A profile too large for the format's 255 chunks is left out: the
    // picture is still worth saving.
    embedIccProfile(bytes, iccProfile);
    return bytes;
}

bool replaceFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    struct stat old;
    if (bytes.empty() || stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return false;
    ReplacingFile file(path);
    return file.open() && file.write(bytes.data(), bytes.size()) && file.commit(true);
}

bool replaceWithJpeg(wxImage& picture, const std::string& path, long quality,
                     const std::vector<unsigned char>& iccProfile)
{
    return replaceFile(path, jpegBytes(picture, quality, iccProfile));
}
