#include "batch/JpegReplacer.h"

#include <sys/stat.h>
#include <wx/mstream.h>

#include "diag/ReplacingFile.h"

bool replaceWithJpeg(wxImage& picture, const std::string& path, long quality)
{
    struct stat old;
    if (!picture.IsOk() || stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return false;

    // Encoded in memory first: the toolkit's encoder does not report
    // failed writes, so the bytes are written and checked here.
    wxMemoryOutputStream encoded;
    picture.SetOption(wxIMAGE_OPTION_QUALITY, static_cast<int>(quality));
    if (!picture.SaveFile(encoded, wxBITMAP_TYPE_JPEG) || encoded.GetLength() <= 0)
        return false;

    ReplacingFile file(path);
    return file.open() &&
           file.write(encoded.GetOutputStreamBuffer()->GetBufferStart(),
                      static_cast<std::size_t>(encoded.GetLength())) &&
           file.commit(true);
}
