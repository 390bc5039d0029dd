#include "batch/PicturePreview.h"

#include "batch/ResultNames.h"

#include <exception>

#include <wx/log.h>

#include "pixel/FitInBox.h"
#include "pixel/PictureFile.h"
#include "platform/PictureList.h"
#include "pixel/Resample.h"

namespace {

constexpr int sampleWidth = 1200;
constexpr int sampleHeight = 800;

// A neutral grey ramp, for a folder without pictures: it shows the
// watermark's place and strength on light and dark ground alike.
wxImage samplePicture()
{
    wxImage sample(sampleWidth, sampleHeight, false);
    unsigned char* p = sample.GetData();
    for (int y = 0; y < sampleHeight; ++y)
        for (int x = 0; x < sampleWidth; ++x, p += 3)
            p[0] = p[1] = p[2] = static_cast<unsigned char>(60 + 140 * (x + y) / (sampleWidth + sampleHeight));
    return sample;
}

// The settings that decide which picture is shown and how it is shaped.
std::string pictureKey(const PreviewRequest& r, const std::string& path)
{
    const BatchSettings& s = r.settings;
    return path + '\n' + std::to_string(s.resize) + std::to_string(s.rotate) + std::to_string(s.convertToSrgb) +
           std::to_string(s.width) + s.sharpening;
}

// A new picture, not just a new blend: the decode in hand is wasted work.
bool showsOtherPicture(const PreviewRequest& a, const PreviewRequest& b)
{
    return a.folder != b.folder || a.settings.includeSubdirectories != b.settings.includeSubdirectories ||
           a.index != b.index || pictureKey(a, std::string()) != pictureKey(b, std::string());
}

// The batch's job for the request: how to shape the picture and blend the watermark.
ProcessingJob previewJob(const PreviewRequest& r, const wxImage& watermark, const wxImage& bright,
                         const TextMark* textMark)
{
    ProcessingJob job;
    job.settings = r.settings;
    job.settings.useWatermark = r.settings.useWatermark && (r.settings.textWatermark ? textMark != nullptr : watermark.IsOk());
    job.watermarkImage = &watermark;
    job.brightWatermarkImage = bright.IsOk() ? &bright : nullptr;
    job.textMark = textMark;
    job.resolved = resolveSettings(job.settings);
    return job;
}

}  // namespace

PicturePreview::PicturePreview(std::function<void()> ready) : ready_(std::move(ready))
{
}

PicturePreview::~PicturePreview()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        superseded_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PicturePreview::show(const PreviewRequest& request)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (request.reread || !current_ || showsOtherPicture(*current_, request))
            superseded_ = true;
        pending_ = request;
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    changed_.notify_all();
}

bool PicturePreview::take(PreviewPicture& picture)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!made_)
        return false;
    picture = *made_;
    // The image must have one owner only: its reference count is no atomic.
    made_.reset();
    return true;
}

void PicturePreview::run()
{
    // A picture that fails to load must not raise the toolkit's log boxes.
    wxLogNull noToolkitMessages;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || pending_; });
        if (quit_)
            return;
        const PreviewRequest request = *pending_;
        current_ = request;
        pending_.reset();
        superseded_ = false;
        lock.unlock();
        PreviewPicture made;
        bool complete = true;
        // Copying, blending or shrinking may run out of memory like the
        // decode: the preview shows nothing for that picture, and goes on.
        try {
            complete = make(request, made);
        } catch (const std::exception&) {
            made = PreviewPicture();
            shapedKey_.clear();
        }
        lock.lock();
        current_.reset();
        if (!complete || pending_)
            continue;
        made_ = made;
        made.image = wxImage();
        lock.unlock();
        ready_();
        lock.lock();
    }
}

bool PicturePreview::make(const PreviewRequest& request, PreviewPicture& made)
{
    if (request.reread || request.folder != listedFolder_ || request.settings.includeSubdirectories != listedWithSubfolders_) {
        listedFolder_ = request.folder;
        listedWithSubfolders_ = request.settings.includeSubdirectories;
        paths_.clear();
        shapedKey_.clear();
        watermarkFile_.clear();
        if (!request.folder.empty())
            listPictures(request.folder, request.settings.includeSubdirectories, paths_);
    }
    made.count = static_cast<int>(paths_.size());
    const int step = request.step < 0 ? -1 : 1;
    bool found = false;
    int index = made.count == 0 ? 0 : (request.index % made.count + made.count) % made.count;
    for (int tried = 0; tried < made.count && !found; ++tried) {
        found = shapeAt(request, paths_[static_cast<std::size_t>(index)]);
        if (superseded_)
            return false;
        if (!found)
            index = (index + step + made.count) % made.count;
    }
    if (!found && !shapeAt(request, std::string()))
        return false;
    made.sample = !found;
    made.index = index;
    made.path = found ? paths_[static_cast<std::size_t>(index)] : std::string();
    if (found && request.settings.saveToFolder && !request.settings.nameTemplate.empty())
        made.resultName = resultNameOf(request.settings, request.folder, made.path, index, true);
    made.storedWidth = shaped_.picture.storedWidth;
    made.storedHeight = shaped_.picture.storedHeight;

    const BatchSettings& settings = request.settings;
    const bool text = settings.useWatermark && settings.textWatermark;
    const std::string markFile = settings.useWatermark && !text ? settings.waterImgFile : std::string();
    if (markFile != watermarkFile_ || !watermark_.IsOk()) {
        watermarkFile_ = markFile;
        watermark_ = loadedWatermark(markFile);
    }
    const std::string brightFile = markFile.empty() ? std::string() : settings.brightWatermark;
    if (brightFile != brightWatermarkFile_ || watermarkFile_.empty()) {
        brightWatermarkFile_ = brightFile;
        brightWatermark_ = loadedWatermark(brightFile);
    }
    if (text)
        loadTextMark(settings);
    made.markProblem = text ? textMarkProblem_ : std::string();
    const TextMark* textMark = text ? textMark_.get() : nullptr;
    // A copy of its own: the kept picture stays unblended for the next change.
    wxImage picture = shaped_.picture.image.Copy();
    blendJobWatermark(picture, shaped_.picture.iccProfile, previewJob(request, watermark_, brightWatermark_, textMark),
                      textMark ? textMark->textFor(shapedTags_, made.path) : std::string(),
                      [](const wxString&, const wxString&) {});
    made.width = picture.IsOk() ? picture.GetWidth() : 0;
    made.height = picture.IsOk() ? picture.GetHeight() : 0;
    made.fullSize = request.areaWidth <= 0;
    if (picture.IsOk() && !made.fullSize) {
        const FittedSize shown = fitInBox(made.width, made.height, request.areaWidth, request.areaHeight);
        if (shown.positive() && (shown.width < made.width || shown.height < made.height))
            picture = resampleLanczos3(picture, static_cast<int>(shown.width), static_cast<int>(shown.height));
    }
    made.image = picture;
    return true;
}

bool PicturePreview::shapeAt(const PreviewRequest& request, const std::string& path)
{
    const std::string key = pictureKey(request, path);
    if (key == shapedKey_)
        return shapedOk_;
    shaped_ = ShapedPicture();
    shapedTags_ = PictureTags();
    const ProcessingJob job = previewJob(request, watermark_, brightWatermark_, nullptr);
    if (path.empty()) {
        LoadedPicture& sample = shaped_.picture;
        sample.image = samplePicture();
        sample.storedWidth = sampleWidth;
        sample.storedHeight = sampleHeight;
        PicturePlan plan;
        planShape(plan, sampleWidth, sampleHeight, 0, job.resolved);
        fitIntoBox(sample, plan);
        shapedOk_ = true;
    } else {
        // A picture that cannot be shaped, for want of memory above all, is
        // passed over as an unreadable one: the dialog's thread goes on.
        try {
            PictureFile file(path);
            const PicturePlan plan = planPicture(file, job);
            shapedTags_ = pictureTags(file.jpegHead());
            shapedOk_ = plan.verdict != PicturePlan::Verdict::unreadable &&
                        shapePicture(file, plan, job.settings, shaped_, &superseded_);
        } catch (const std::exception&) {
            shaped_ = ShapedPicture();
            shapedOk_ = false;
        }
    }
    // A decode cut short says nothing about the picture: try it again next time.
    shapedKey_ = superseded_ ? std::string() : key;
    return shapedOk_;
}

wxImage PicturePreview::loadedWatermark(const std::string& file)
{
    wxImage mark;
    if (file.empty() || !mark.LoadFile(wxString::FromUTF8(file), wxBITMAP_TYPE_ANY, 0))
        return wxImage();
    // As the window loads it: a mask becomes transparency.
    if (mark.HasMask())
        mark.InitAlpha();
    return mark;
}

void PicturePreview::loadTextMark(const BatchSettings& settings)
{
    const std::string key = settings.watermarkText + '\n' + settings.textFont + '\n' + settings.textColour + '\n' +
                            std::to_string(settings.textSize) + std::to_string(settings.textShadow) + '\n' +
                            std::to_string(settings.alpha);
    if (key == textMarkKey_)
        return;
    textMarkKey_ = key;
    textMarkProblem_.clear();
    textMark_ = TextMark::load(settings, shippedFont(), textMarkProblem_);
}
