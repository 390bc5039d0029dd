#include "batch/BatchTestSupport.h"

#include <filesystem>
#include <thread>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <wx/msw/wrapwin.h>
#include <tlhelp32.h>
// Windows 10's, in kernel32; mingw-w64's headers do not declare it yet.
extern "C" __declspec(dllimport) HRESULT WINAPI GetThreadDescription(HANDLE thread, PWSTR* description);
#else
#include <unistd.h>
#endif
#include <wx/mstream.h>

#include "TempDir.h"
#include "batch/BatchEvents.h"
#include "batch/PicturePipeline.h"
#include "batch/WorkingThread.h"
#include "jpeg/ExifBuilder.h"

void RecordingOwner::record(const std::string& request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
}

void RecordingOwner::postNotification(const wxCommandEvent& event)
{
    const bool started = event.GetEventType() == EVT_BATCH_STARTED;
    record(std::string(started ? "STARTED " : "FINISHED ") + std::to_string(event.GetId()));
}

void RecordingOwner::setGaugeRange(int range)
{
    record("range " + std::to_string(range));
}

void RecordingOwner::setGaugeValue(int value)
{
    record("gauge " + std::to_string(value));
}

void RecordingOwner::setTitle(const wxString& title)
{
    const std::string text(title.utf8_str());
    record("title " + text);
    if (onTitle)
        onTitle(text);
}

bool RecordingOwner::askYesNo(const wxString& message, const wxString& caption)
{
    record("ask " + std::string(caption.utf8_str()) + "|" + std::string(message.utf8_str()));
    if (onQuestion)
        onQuestion(worker);
    return answer;
}

void RecordingOwner::showMessage(const wxString& message, const wxString& caption)
{
    record("message " + std::string(caption.utf8_str()) + "|" + std::string(message.utf8_str()));
}

bool RecordingOwner::showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString&,
                                             const wxString&)
{
    showMessage(message, caption);
    return tickCheckBox;
}

void RecordingOwner::workerEnded(WorkingThread*)
{
    std::lock_guard<std::mutex> lock(mutex_);
#ifdef _WIN32
    threadId_ = static_cast<int>(GetCurrentThreadId());
#else
    threadId_ = gettid();
#endif
    running_ = false;
    worker = nullptr;
    ended_.notify_all();
}

void RecordingOwner::run(const ProcessingJob& job)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = true;
        worker = new WorkingThread(this, job);
    }
    ASSERT_EQ(worker->Create(), wxTHREAD_NO_ERROR);
    ASSERT_EQ(worker->Run(), wxTHREAD_NO_ERROR);
    std::unique_lock<std::mutex> lock(mutex_);
    ASSERT_TRUE(ended_.wait_for(lock, std::chrono::seconds(120), [this] { return !running_; }));
    // The detached thread still runs the toolkit's end of a thread after
    // its destructor; tearing the toolkit down before it is gone crashes it.
#ifdef _WIN32
    if (HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, static_cast<DWORD>(threadId_))) {
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
    }
#else
    const std::string task = "/proc/self/task/" + std::to_string(threadId_);
    for (int i = 0; i < 5000 && access(task.c_str(), F_OK) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
#endif
}

std::vector<std::string> RecordingOwner::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> RecordingOwner::messages() const
{
    std::vector<std::string> result;
    for (const std::string& r : requests())
        if (r.rfind("message ", 0) == 0)
            result.push_back(r.substr(8));
    return result;
}

namespace {

void change(bool& value, const SettingRow&)
{
    value = !value;
}

void change(int& value, const SettingRow& row)
{
    value = value + 3 <= row.most ? value + 3 : value - 3;
    // A size limit is none or at least the row's least.
    if (row.kind == SettingKind::kilobytes)
        value = static_cast<int>(row.least) + 3;
}

void change(double& value, const SettingRow& row)
{
    value = value + 0.25 <= row.most ? value + 0.25 : value - 0.25;
}

void change(std::string& value, const SettingRow& row)
{
    const std::string choices = row.values ? row.values : "";
    switch (row.kind) {
    case SettingKind::choice:
        // The last of the values, which no default is.
        value = choices.substr(choices.rfind('|') + 1);
        return;
    case SettingKind::colour:
        value = "#102030";
        return;
    case SettingKind::places:
        value = "top,bottom";
        return;
    default:
        // Only a line of its own escapes what the reader would cut.
        value = row.saved == SavedAs::ownLine ? u8"/photos/#web ü" : u8"/photos/wm ü.png";
    }
}

}  // namespace

ChangedSetting changeSetting(BatchSettings& settings, int index)
{
    ChangedSetting changed;
    int at = 0;
    forEachSetting(settings, [&](const SettingRow& row, auto& value) {
        if (at++ != index)
            return;
        change(value, row);
        changed = {row.key, row.saved, row.record};
    });
    return changed;
}

ProcessingJob plainJob(const std::string& folder)
{
    ProcessingJob job;
    job.directory = wxString::FromUTF8(folder);
    job.settings.resize = job.settings.rotate = job.settings.useWatermark = false;
    job.settings.quality = 90;
    job.caption = "Tessaly 1.1";
    job.resolved = resolveSettings(job.settings);
    return job;
}

void writeQuadrantJpeg(const std::string& path, int w, int h, int orientation)
{
    wxImage image(w, h, false);
    image.SetRGB(wxRect(0, 0, w / 2, h / 2), 255, 0, 0);
    image.SetRGB(wxRect(w / 2, 0, w - w / 2, h / 2), 0, 255, 0);
    image.SetRGB(wxRect(w / 2, h / 2, w - w / 2, h - h / 2), 0, 0, 255);
    image.SetRGB(wxRect(0, h / 2, w / 2, h - h / 2), 255, 255, 0);
    image.SetOption(wxIMAGE_OPTION_QUALITY, 95);
    wxMemoryOutputStream out;
    ASSERT_TRUE(image.SaveFile(out, wxBITMAP_TYPE_JPEG));
    Bytes bytes(static_cast<std::size_t>(out.GetLength()));
    out.CopyTo(bytes.data(), bytes.size());
    if (orientation != 0) {
        // The Exif section goes right behind the start-of-image marker.
        const Bytes exif = segment(0xE1, exifPayload(tiffData(true, {orientationShort(
                                                                       static_cast<std::uint16_t>(orientation))})));
        bytes.insert(bytes.begin() + 2, exif.begin(), exif.end());
    }
    writeFile(path, bytes);
}

wxImage loadImage(const std::string& path)
{
    wxImage image;
    image.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY);
    return image;
}

int runningHelpers()
{
    int count = 0;
#ifdef _WIN32
    const HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        HANDLE thread = entry.th32OwnerProcessID == GetCurrentProcessId()
                            ? OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID)
                            : nullptr;
        PWSTR name = nullptr;
        if (thread && SUCCEEDED(GetThreadDescription(thread, &name)) && name) {
            count += wxString(name).utf8_string() == PicturePipeline::helperName;
            LocalFree(name);
        }
        if (thread)
            CloseHandle(thread);
    }
    CloseHandle(threads);
#else
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        count += readFile(task.path().string() + "/comm") == std::string(PicturePipeline::helperName) + "\n";
#endif
    return count;
}

std::string statisticsNotSaved(int notSaved, const std::string& first, int resized)
{
    return "Processing statistics|Not every picture could be saved.\n\nNot saved: " + std::to_string(notSaved) +
           ", the first: " + first + "\n\nResized: " + std::to_string(resized) + "\nRotated: 0\nWatermarked: 0";
}

std::string statistics(int resized, int rotated, int watermarked)
{
    return "Processing statistics|Pictures has been processed corretly.\n\nResized: " + std::to_string(resized) +
           "\nRotated: " + std::to_string(rotated) + "\nWatermarked: " + std::to_string(watermarked);
}

std::string batchProgram()
{
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path().parent_path() / "tessaly-batch.exe").u8string();
#else
    return TESSALY_BATCH_PROGRAM;
#endif
}
