#include "batch/BlockingImageHandler.h"

#include <chrono>
#include <cstring>
#include <new>

#include <wx/imagjpeg.h>
#include <wx/imagtiff.h>
#include <wx/mstream.h>

#include "jpeg/ExifBuilder.h"

namespace {

constexpr char magic[] = "TESSBLOCK";
constexpr char throwing[] = "TESSTHROW";
constexpr std::size_t magicSize = sizeof magic - 1;

// A little-endian TIFF head whose first directory declares the size.
Bytes tiffHead(int width, int height)
{
    Bytes head = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    for (const std::uint16_t tag : {256, 257}) {
        const auto value = static_cast<std::uint32_t>(tag == 256 ? width : height);
        const Bytes entry = {std::uint8_t(tag), std::uint8_t(tag >> 8), 4, 0, 1, 0, 0, 0,
                             std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16), 0};
        head.insert(head.end(), entry.begin(), entry.end());
    }
    head.insert(head.end(), 4, 0);  // no next directory
    return head;
}

constexpr std::size_t headSize = 8 + 2 + 2 * 12 + 4;

}  // namespace

BlockingImageHandler::BlockingImageHandler()
{
    m_name = "Blocking test image";
    m_extension = "tessblock";
    m_type = wxBITMAP_TYPE_TIFF;
}

void BlockingImageHandler::writeBlockingJpeg(const std::string& path, int width, int height)
{
    wxImage image(width, height, false);
    image.SetRGB(wxRect(0, 0, width, height), 90, 120, 150);
    wxMemoryOutputStream out;
    image.SaveFile(out, wxBITMAP_TYPE_JPEG);
    Bytes bytes = tiffHead(width, height);
    bytes.insert(bytes.end(), magic, magic + magicSize);
    const std::size_t start = bytes.size();
    bytes.resize(start + static_cast<std::size_t>(out.GetLength()));
    out.CopyTo(bytes.data() + start, bytes.size() - start);
    writeFile(path, bytes);
}

BlockingImageHandler* BlockingImageHandler::install()
{
    // The toolkit keeps one handler per type.
    wxImage::RemoveHandler(wxImage::FindHandler(wxBITMAP_TYPE_TIFF)->GetName());
    auto* handler = new BlockingImageHandler;
    wxImage::InsertHandler(handler);
    return handler;
}

void BlockingImageHandler::uninstall()
{
    wxImage::RemoveHandler(wxImage::FindHandler(wxBITMAP_TYPE_TIFF)->GetName());
    wxImage::AddHandler(new wxTIFFHandler);
}

void BlockingImageHandler::writeThrowingPicture(const std::string& path, int width, int height)
{
    Bytes bytes = tiffHead(width, height);
    bytes.insert(bytes.end(), throwing, throwing + magicSize);
    writeFile(path, bytes);
}

bool BlockingImageHandler::DoCanRead(wxInputStream& stream)
{
    char head[4];
    return stream.Read(head, 4).LastRead() == 4 && std::memcmp(head, "II*\0", 4) == 0;
}

bool BlockingImageHandler::LoadFile(wxImage* image, wxInputStream& stream, bool verbose, int index)
{
    char head[headSize + magicSize];
    const wxFileOffset start = stream.TellI();
    const bool read = stream.Read(head, sizeof head).LastRead() == sizeof head;
    if (read && std::memcmp(head + headSize, throwing, magicSize) == 0)
        throw std::bad_alloc();
    if (!read || std::memcmp(head + headSize, magic, magicSize) != 0) {
        stream.SeekI(start);
        wxTIFFHandler tiff;
        return tiff.LoadFile(image, stream, verbose, index);
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }
    wxJPEGHandler jpeg;
    return jpeg.LoadFile(image, stream, verbose, index);
}

bool BlockingImageHandler::waitUntilEntered()
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [this] { return entered_; });
}

bool BlockingImageHandler::entered()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entered_;
}

void BlockingImageHandler::release()
{
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}
