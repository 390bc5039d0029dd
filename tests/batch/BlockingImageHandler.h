#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include <wx/image.h>

// An image format that lets a test hold the batch inside the loading of a
// picture: a file that starts with "TESSBLOCK" followed by a JPEG loads as
// that JPEG, but only once the test has released it. The worker has then
// passed its stop check for that picture.
class BlockingImageHandler : public wxImageHandler {
public:
    BlockingImageHandler();

    static void writeBlockingJpeg(const std::string& path, int width, int height);

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
