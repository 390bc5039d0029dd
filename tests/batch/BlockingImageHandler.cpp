#include "batch/BlockingImageHandler.h"

#include <chrono>
#include <cstring>

#include <wx/imagjpeg.h>
#include <wx/mstream.h>

#include "jpeg/ExifBuilder.h"

namespace {

constexpr char magic[] = "TESSBLOCK";
constexpr std::size_t magicSize = sizeof magic - 1;

}  // namespace

BlockingImageHandler::BlockingImageHandler()
{
    m_name = "Blocking test image";
    m_extension = "tessblock";
    m_type = static_cast<wxBitmapType>(wxBITMAP_TYPE_ANY - 1);
}

void BlockingImageHandler::writeBlockingJpeg(const std::string& path, int width, int height)
{
    wxImage image(width, height, false);
    image.SetRGB(wxRect(0, 0, width, height), 90, 120, 150);
    wxMemoryOutputStream out;
    image.SaveFile(out, wxBITMAP_TYPE_JPEG);
    Bytes bytes(magic, magic + magicSize);
    bytes.resize(magicSize + static_cast<std::size_t>(out.GetLength()));
    out.CopyTo(bytes.data() + magicSize, bytes.size() - magicSize);
    writeFile(path, bytes);
}

bool BlockingImageHandler::DoCanRead(wxInputStream& stream)
{
    char head[magicSize];
    return stream.Read(head, magicSize).LastRead() == magicSize && std::memcmp(head, magic, magicSize) == 0;
}

bool BlockingImageHandler::LoadFile(wxImage* image, wxInputStream& stream, bool verbose, int index)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }
    char head[magicSize];
    stream.Read(head, magicSize);
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
