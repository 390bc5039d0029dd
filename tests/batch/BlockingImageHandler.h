#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include <wx/image.h>

// An image format that lets a test hold the batch inside the loading of a
// picture, or fail it with an exception. It stands in for the TIFF handler, one of the formats the batch
// accepts: a file with a TIFF head, "TESSBLOCK" and a JPEG behind it loads
// as that JPEG, but only once the test has released it. The worker has then
// passed its stop check for that picture. Other TIFF files load as TIFF.
class BlockingImageHandler : public wxImageHandler {
public:
    BlockingImageHandler();

    static void writeBlockingJpeg(const std::string& path, int width, int height);
    // A picture whose loading throws std::bad_alloc, as a decode that runs
    // out of memory does.
    static void writeThrowingPicture(const std::string& path, int width, int height);

    // Puts a new blocking handler in the TIFF handler's place, and back.
    static BlockingImageHandler* install();
    static void uninstall();

    // Waits until a load has begun.
    bool waitUntilEntered();
    bool entered();
    void release();

protected:
    bool LoadFile(wxImage* image, wxInputStream& stream, bool verbose, int index) override;
    bool DoCanRead(wxInputStream& stream) override;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool released_ = false;
};
