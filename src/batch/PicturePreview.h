#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <wx/image.h>

#include "settings/BatchSettings.h"
#include "batch/ShapedPicture.h"
#include "batch/TextMark.h"
#include "jpeg/PictureTags.h"

// What the Preferences preview shows: a picture of the folder as the batch
// would write it with these settings.
struct PreviewRequest {
    std::string folder;  // empty: the neutral sample
    BatchSettings settings;  // its watermark is blended in when useWatermark is set
    int index = 0;      // the picture wanted, in list order; wraps around
    int step = 1;       // where to look on when it cannot be read: +1 or -1
    int areaWidth = 1;  // the result is shrunk to fit this area; 0: not shrunk
    int areaHeight = 1;
    bool reread = false;  // list the folder and read the files again
};

struct PreviewPicture {
    wxImage image;        // as the batch writes it, shrunk into the area
    bool fullSize = false;  // asked for unshrunk
    bool sample = false;  // the folder has no picture that can be read
    std::string path;
    int index = 0;
    int count = 0;        // pictures in the folder
    int storedWidth = 0;  // the picture's size in its file
    int storedHeight = 0;
    int width = 0;        // its size as the batch writes it
    int height = 0;
    std::string markProblem;  // why the text mark asked for cannot be drawn
    std::string resultName;   // the result's name by the settings' template; empty without one
};

// Makes the preview on a thread of its own, through the batch's own code
// (shapePicture, blendJobWatermark), so that the dialog never waits for a
// decode. Only the newest request counts: one that supersedes a picture
// still decoding cuts the decode short. The decoded picture is kept, so a
// change of watermark, opacity or placement only blends again. Never
// writes a file.
class PicturePreview {
public:
    // ready is called on the preview's thread whenever take() has a new picture.
    explicit PicturePreview(std::function<void()> ready);
    ~PicturePreview();
    PicturePreview(const PicturePreview&) = delete;
    PicturePreview& operator=(const PicturePreview&) = delete;

    void show(const PreviewRequest& request);
    // The newest picture made, once; false when there is none new.
    bool take(PreviewPicture& picture);

private:
    void run();
    // False when a newer request cut it short.
    bool make(const PreviewRequest& request, PreviewPicture& made);
    bool shapeAt(const PreviewRequest& request, const std::string& path);
    // The watermark file as the window loads it; empty when it cannot be.
    static wxImage loadedWatermark(const std::string& file);
    // The text mark of the settings, loaded again when they change it.
    void loadTextMark(const BatchSettings& settings);

    const std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<PreviewRequest> pending_;
    std::optional<PreviewRequest> current_;  // the one being made
    std::optional<PreviewPicture> made_;
    bool quit_ = false;
    std::atomic<bool> superseded_{false};
    std::thread thread_;

    // The preview thread's own: what it read last.
    std::string listedFolder_;
    bool listedWithSubfolders_ = false;
    std::vector<std::string> paths_;
    std::string shapedKey_;
    bool shapedOk_ = false;
    ShapedPicture shaped_;
    PictureTags shapedTags_;
    std::string watermarkFile_;
    wxImage watermark_;
    std::string brightWatermarkFile_;
    wxImage brightWatermark_;
    std::string textMarkKey_;
    std::unique_ptr<TextMark> textMark_;
    std::string textMarkProblem_;
};
