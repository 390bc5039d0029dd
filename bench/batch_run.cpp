// Runs one batch headless, as the main dialog would with everything ticked:
//   batch_run FOLDER WATERMARK [--full-decode | --serial]
// With --full-decode every picture is decoded at full size first, to
// compare against the engine's shrink-on-load; with --serial the engine
// prepares one picture after another on its worker, the baseline for its
// helper threads.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "ui/MessageBoxOwner.h"
#include "pixel/FitInBox.h"
#include "pixel/JpegReplacer.h"
#include "pixel/Orientation.h"
#include "platform/PictureList.h"
#include "platform/SharedHeap.h"
#include "pixel/PictureLoader.h"
#include "pixel/Watermark.h"
#include "batch/WorkingThread.h"
#include "jpeg/MetadataHandler.h"

namespace {

constexpr int box = 800;
constexpr long quality = 82;

// Answers Yes and prints the message boxes.
class ConsoleOwner : public MessageBoxOwner {
public:
    void postNotification(const wxCommandEvent&) override {}
    void setGaugeRange(int) override {}
    void setGaugeValue(int) override {}
    void setTitle(const wxString&) override {}
    bool askYesNo(const wxString&, const wxString&) override { return true; }
    void showMessage(const wxString& message, const wxString&) override
    {
        std::printf("%s\n", static_cast<const char*>(message.utf8_str()));
    }
    void workerEnded(WorkingThread*) override {}
};

// The same steps as the engine, but from a full-size decode.
int runFullDecode(const std::string& folder, const wxImage& mark)
{
    std::vector<std::string> paths;
    if (!listPictures(folder, false, paths))
        return 1;
    const MessageReporter ignore = [](const wxString&, const wxString&) {};
    for (const std::string& path : paths) {
        LoadedPicture picture;
        if (!loadPicture(path, 0, picture))
            return 1;
        if (picture.storedWidth > box || picture.storedHeight > box) {
            const FittedSize size = fitInBox(picture.storedWidth, picture.storedHeight, box, box);
            picture.image = picture.image.Scale(static_cast<int>(size.width), static_cast<int>(size.height),
                                                wxIMAGE_QUALITY_HIGH);
        }
        MetadataHandler handler(path.c_str(), true);
        if (handler.readExif())
            orientUpright(picture.image, handler.orientation());
        ApplyWatermark(picture.image, mark, 0.2, 9, ignore);
        if (!replaceFile(path, jpegBytes(picture.image, quality, picture.iccProfile)))
            return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    shareOneHeap();
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER WATERMARK [--full-decode | --serial]\n", argv[0]);
        return 2;
    }
    wxInitializer toolkit;
    wxInitAllImageHandlers();
    wxLogNull quiet;
    wxImage mark;
    if (!mark.LoadFile(argv[2], wxBITMAP_TYPE_PNG))
        return 1;
    if (argc > 3 && std::strcmp(argv[3], "--full-decode") == 0)
        return runFullDecode(argv[1], mark);

    ProcessingJob job;
    job.directory = wxString::FromUTF8(argv[1]);
    job.settings.width = box;
    job.settings.wmPlacement = 9;
    job.watermarkImage = &mark;
    job.caption = "Tessaly 1.1";
    if (argc > 3 && std::strcmp(argv[3], "--serial") == 0)
        job.threads = 1;
    ConsoleOwner owner;
    // Joinable, as the command line runs it: the clock stops when the
    // thread has ended, with no time to spare for it.
    WorkingThread worker(&owner, job, wxTHREAD_JOINABLE);
    if (worker.Run() != wxTHREAD_NO_ERROR)
        return 1;
    worker.Wait();
    return 0;
}
