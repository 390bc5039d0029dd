#include <csignal>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>  // a file size limit: tests/windows/skipped.txt
#endif
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dirctrl.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "batch/BatchTestSupport.h"
#include <wx/slider.h>

#include "batch/BlockingImageHandler.h"
#include "jpeg/ExifBuilder.h"
#include "ui/SettingsDialog.h"
#include "ui/CorvaneDialog.h"
#include "ui/GuiTest.h"
#include "ui/ModalScript.h"

namespace fs = std::filesystem;

namespace {

class BatchControlTest : public GuiTest {
protected:
    std::unique_ptr<CorvaneDialog> dialog;
    BlockingImageHandler* blocking = nullptr;

    void TearDown() override
    {
        dialog.reset();
        if (blocking)
            BlockingImageHandler::uninstall();
        GuiTest::TearDown();
    }

    // Ten 1000 x 500 pictures in "album"; with a blocking third one, the
    // batch holds inside its loading until released.
    void makeAlbum(int count, bool blockThird)
    {
        fs::create_directory(dir.file("album"));
        for (int i = 1; i <= count; ++i) {
            const std::string path = dir.file("album/p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg");
            if (blockThird && i == 3)
                BlockingImageHandler::writeBlockingJpeg(path, 1000, 500);
            else
                writeQuadrantJpeg(path, 1000, 500);
        }
        if (blockThird) {
            blocking = BlockingImageHandler::install();
        }
    }

    void create()
    {
        ASSERT_TRUE(wxImage(20, 10, true).SaveFile(wxString::FromUTF8(dir.file("wm.png")), wxBITMAP_TYPE_PNG));
        writePrefs("WorkingDir = " + dir.file("album") + "\nWaterImgFile = " + dir.file("wm.png") +
                   "\nUseWatermark = 0\nRotate = 0\n");
        dialog = std::make_unique<CorvaneDialog>(nullptr);
    }

    bool idle() const
    {
        return !dialog->hasWorker() && dialog->okButton->GetLabel() == "OK" && dialog->resizeCheck->IsEnabled();
    }

    std::string album(const char* name) const { return dir.file(std::string("album/") + name); }

    // After a stop: the first pictures are written, up to the held third at
    // most, none after them, and the statistics count exactly those.
    void stoppedCleanly(int count)
    {
        int written = 0;
        for (int i = 1; i <= count; ++i) {
            const std::string name = "p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg";
            if (loadImage(album(name.c_str())).GetWidth() != 800)
                break;
            written = i;
        }
        EXPECT_LE(written, 3);
        for (int i = written + 1; i <= count; ++i) {
            const std::string name = "p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg";
            EXPECT_NE(loadImage(album(name.c_str())).GetWidth(), 800) << name << " written after the stop";
        }
        EXPECT_EQ(recorder.messages.back(), statistics(written, 0, 0));
    }
};

TEST_F(BatchControlTest, RunsToTheEndAndAgain)
{
    makeAlbum(10, false);
    create();
    ModalScript script(*dialog);
    int finished = 0;
    std::function<void()> start = [&] {
        click(dialog->okButton);
        EXPECT_EQ(dialog->okButton->GetLabel(), "STOP");
        // An enabled Preferences button would let the user reload the
        // watermark while the worker reads it.
        const wxWindow* const disabled[] = {
            dialog->dirCtrl,       dialog->pathText,          dialog->resizeCheck,   dialog->autoRotateCheck,
            dialog->watermarkCheck, dialog->maxWidthText,     dialog->maxHeightText, dialog->maxSizeLabel,
            dialog->maxHeightLabel, dialog->preferencesButton, dialog->aboutButton,  dialog->qualityLabel,
            dialog->qualitySlider, dialog->qualityValue,      dialog->includeSubCheck};
        for (const wxWindow* control : disabled)
            EXPECT_FALSE(control->IsEnabled()) << control->GetName();
        EXPECT_TRUE(dialog->okButton->IsEnabled());
        script.when([this] { return idle(); }, [&] {
            EXPECT_EQ(dialog->gauge->GetValue(), 0);
            EXPECT_EQ(dialog->GetTitle(), "Tessaly 1.1");
            EXPECT_TRUE(dialog->preferencesButton->IsEnabled());
            if (++finished < 2)
                start();
            else
                dialog->EndModal(wxID_OK);
        });
    };
    script.run(start);
    EXPECT_EQ(finished, 2);
    const std::vector<std::string> messages(recorder.messages.end() - 2, recorder.messages.end());
    EXPECT_EQ(messages[0].substr(0, 11), "Tessaly 1.0");
    EXPECT_EQ(messages[1], statistics(0, 0, 0));  // the second run finds them small enough
    EXPECT_EQ(loadImage(album("p10.jpg")).GetWidth(), 800);
}

// With "Skip pictures that cannot be read", an unreadable picture is named
// in Main.log and counted, where it would otherwise end the batch.
TEST_F(BatchControlTest, SkipsUnreadablePicturesWhenAsked)
{
    makeAlbum(3, false);
    const std::string whole = readFile(album("p02.jpg"));
    writeFile(album("p02.jpg"), Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    create();
    dialog->settingsDialog->skipUnreadable = true;
    ModalScript script(*dialog);
    script.run([&] {
        click(dialog->okButton);
        script.when([this] { return idle(); }, [&] { dialog->EndModal(wxID_OK); });
    });
    EXPECT_EQ(recorder.messages.back(), statistics(2, 0, 0) + "\nSkipped (cannot be read): 1");
    EXPECT_EQ(loadImage(album("p03.jpg")).GetWidth(), 800);
    EXPECT_NE(readFile(dir.file("Main.log"))
                  .find("Skipped (cannot be read): " + nativePath(dir.file("album")) + "/p02.jpg: does not decode"),
              std::string::npos);
    dialog->settingsDialog->savePreferences();
    const std::string saved = readFile(dir.file("prefs.cfg"));
    const std::string line = "\nSkipUnreadable = 1\n";
    EXPECT_EQ(saved.substr(saved.size() - std::min(saved.size(), line.size())), line);
}

#ifndef _WIN32
// Pictures that cannot be saved: the first box offers to be the last, and
// the statistics say how many were not saved instead of "processed".
TEST_F(BatchControlTest, SaveFailuresAreCountedWithoutABoxEach)
{
    makeAlbum(3, false);
    create();
    recorder.tickCheckBoxes = true;
    // Writes past 2 KiB fail, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    struct rlimit small = previous;
    small.rlim_cur = 2048;
    ModalScript script(*dialog);
    script.run([&] {
        setrlimit(RLIMIT_FSIZE, &small);
        click(dialog->okButton);
        script.when([this] { return idle(); }, [&] { dialog->EndModal(wxID_OK); });
    });
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(recorder.checkBoxesOffered, 1);
    const std::vector<std::string> last(recorder.messages.end() - 2, recorder.messages.end());
    EXPECT_EQ(last[0], "Message|Watermarked image could not been saved.");
    EXPECT_EQ(last[1], statisticsNotSaved(3, album("p01.jpg") + ": cannot be written: File too large"));
    EXPECT_EQ(loadImage(album("p02.jpg")).GetWidth(), 1000);
}
#endif

// With "Save results to folder" the originals stay as they were, the
// question names the folder, and results already there are asked about
// once: No keeps them all, Yes replaces them all. Files that are no
// earlier results of these pictures are never replaced: the question says
// so and offers a subfolder of the folder's own name.
TEST_F(BatchControlTest, SavesResultsToAFolderOfTheirOwn)
{
    makeAlbum(3, false);
    const std::string original = readFile(album("p01.jpg"));
    const std::string results = dir.file("web #1");
    create();
    dialog->settingsDialog->saveToFolder = true;
    dialog->settingsDialog->resultsFolder = results;
    auto runBatch = [this] {
        recorder.messages.clear();
        ModalScript script(*dialog);
        script.run([&] {
            click(dialog->okButton);
            script.when([this] { return idle(); }, [&] { dialog->EndModal(wxID_OK); });
        });
    };
    runBatch();
    EXPECT_EQ(readFile(album("p01.jpg")), original);
    EXPECT_EQ(loadImage(results + "/p03.jpg").GetWidth(), 800);
    ASSERT_EQ(recorder.messages.size(), 2u) << testing::PrintToString(recorder.messages);
    const std::string lastLine = "\nNumber of files about to processed: 3\nResults go to: " + results;
    EXPECT_EQ(recorder.messages[0].substr(recorder.messages[0].size() - lastLine.size()), lastLine);

    // An earlier result, told from the new one by a changed byte in its data.
    std::string kept = readFile(results + "/p02.jpg");
    kept[kept.size() - 10] = static_cast<char>(kept[kept.size() - 10] ^ 1);
    static const struct {
        int answer;
        bool replaced;
        std::string statistics;
    } answers[] = {{wxID_NO, false, statistics(0, 0, 0) + "\nSkipped (already in the results folder): 3"},
                   {wxID_CANCEL, false, statistics(0, 0, 0) + "\nSkipped (already in the results folder): 3"},
                   {wxID_YES, true, statistics(3, 0, 0)}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.answer);
        writeFile(results + "/p02.jpg", Bytes(kept.begin(), kept.end()));
        recorder.yesNoAnswers = {wxID_YES, a.answer};
        runBatch();
        ASSERT_EQ(recorder.messages.size(), 3u) << testing::PrintToString(recorder.messages);
        EXPECT_EQ(recorder.messages[1].rfind("Tessaly 1.1|3 of the results are already in the folder", 0), 0u);
        EXPECT_EQ(readFile(results + "/p02.jpg") == kept, !a.replaced);
        EXPECT_EQ(recorder.messages[2], a.statistics);
    }
    EXPECT_EQ(readFile(album("p01.jpg")), original);

    // A file of the user's own under a result's name.
    const std::string own = "my own notes";
    writeFile(results + "/p02.jpg", Bytes(own.begin(), own.end()));
    for (const int answer : {wxID_NO, wxID_YES}) {
        recorder.yesNoAnswers = {wxID_YES, answer};
        runBatch();
        ASSERT_EQ(recorder.messages.size(), 3u);
        EXPECT_EQ(recorder.messages[1], "Tessaly 1.1|3 of the results have names already taken in the folder:\n\n" +
                                            results +
                                            "\n\n2 of them are earlier results of these pictures, 1 are other files: "
                                            "results of other pictures, or files of your own.\n\nPut the results of "
                                            "this folder below " + results + "/album instead? Answer No to leave "
                                            "every file there as it is and skip those pictures.");
        EXPECT_EQ(readFile(results + "/p02.jpg"), own);
        EXPECT_EQ(fs::exists(results + "/album/p02.jpg"), answer == wxID_YES);
    }

    // Results that would land on the originals, however the folder is
    // written (one not there yet, then up again): refused before anything starts.
    for (const char* folder : {"album/.", "album/new/.."}) {
        dialog->settingsDialog->resultsFolder = dir.file(folder);
        recorder.messages.clear();
        click(dialog->okButton);
        ASSERT_EQ(recorder.messages.size(), 1u) << folder;
        EXPECT_NE(recorder.messages[0].find("results would replace the originals"), std::string::npos);
        EXPECT_FALSE(dialog->hasWorker());
    }
    EXPECT_EQ(readFile(album("p01.jpg")), original);
}

TEST_F(BatchControlTest, BatchEnablesAWatermarkThatFailedToLoad)
{
    makeAlbum(1, false);
    create();
    dialog->watermarkCheck->SetValue(false);
    dialog->watermarkCheck->Disable();
    ModalScript script(*dialog);
    script.run([&] {
        click(dialog->okButton);
        script.when([this] { return idle(); }, [this] { dialog->EndModal(wxID_OK); });
    });
    EXPECT_TRUE(dialog->watermarkCheck->IsEnabled());
}

// The third picture's loading is held, so the batch cannot get past it;
// the worker has most likely reached it when its title shows. Helpers
// prepare pictures ahead, so where exactly the stop lands is up to the
// threads; what must hold wherever it lands is checked by stoppedCleanly.
bool holdingTheThird(CorvaneDialog& dialog, BlockingImageHandler& blocking)
{
    return blocking.entered() && dialog.GetTitle().EndsWith(" - 3/" + std::to_string(dialog.gauge->GetRange()));
}

// STOP while the third of ten is being processed.
void stopDuringTheThird(CorvaneDialog& dialog, BlockingImageHandler& blocking)
{
    ModalScript script(dialog);
    script.run([&] {
        click(dialog.okButton);
        script.when([&] { return holdingTheThird(dialog, blocking); }, [&] {
            // Released from inside the STOP's wait, after the stop mark is set.
            dialog.CallAfter([&blocking] { blocking.release(); });
            click(dialog.okButton);
            EXPECT_EQ(dialog.okButton->GetLabel(), "OK");
            EXPECT_EQ(dialog.gauge->GetValue(), 0);
            EXPECT_FALSE(dialog.hasWorker());
            script.when([&] { return dialog.resizeCheck->IsEnabled(); }, [&] { dialog.EndModal(wxID_OK); });
        });
    });
}

TEST_F(BatchControlTest, StopDuringTheThirdPicture)
{
    makeAlbum(10, true);
    create();
    stopDuringTheThird(*dialog, *blocking);
    stoppedCleanly(10);
    EXPECT_EQ(dialog->GetTitle(), "Tessaly 1.1");
}

TEST_F(BatchControlTest, CloseAnsweredNoSavesAndStays)
{
    makeAlbum(1, false);
    create();
    ModalScript script(*dialog);
    recorder.yesNoAnswers = {wxID_NO, wxID_CANCEL};
    // Saved before the question: the program may die while it is shown.
    std::string atQuestion;
    recorder.onMessage = [&](const std::string&) {
        if (atQuestion.empty())
            atQuestion = readFile(dir.file("prefs.cfg"));
    };
    script.run([&] {
        dialog->maxWidthText->SetValue("abc");
        dialog->resizeCheck->SetValue(false);
        dialog->includeSubCheck->SetValue(true);
        dialog->alpha = 0.35;
        dialog->Close();
        EXPECT_TRUE(dialog->IsModal());
        dialog->Close();  // Escape on the question counts as No
        EXPECT_TRUE(dialog->IsModal());
        dialog->EndModal(wxID_OK);
    });
    const std::vector<std::string> expected = {"Tessaly 1.1|Do you really want to exit?",
                                               "Tessaly 1.1|Do you really want to exit?"};
    EXPECT_EQ(recorder.messages, expected);
    const std::string saved = readFile(dir.file("prefs.cfg"));
    EXPECT_EQ(atQuestion, saved);
    for (const std::string& line : {"WorkingDir = " + nativePath(dir.file("album")) + " \n", std::string("Resize = 0 \n"),
                                    std::string("Width = 0 \n"), std::string("Quality = 82 \n"),
                                    std::string("Alpha = 0.350000 \n"), std::string("IncludeSubdirectories = 1\n")})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
}

// Close during a batch, answered Yes.
void closeDuringTheThird(CorvaneDialog& dialog, BlockingImageHandler& blocking, MessageRecorder& recorder)
{
    ModalScript script(dialog);
    script.run([&] {
        click(dialog.okButton);
        script.when([&] { return holdingTheThird(dialog, blocking); }, [&] {
            dialog.CallAfter([&blocking] { blocking.release(); });
            dialog.Close();
        });
    });
    const std::vector<std::string> last(recorder.messages.end() - 3, recorder.messages.end() - 1);
    const std::vector<std::string> expected = {"Tessaly 1.1|Do you really want to exit?",
                                               "Message|Tessaly 1.1: deleting thread"};
    EXPECT_EQ(last, expected);
    EXPECT_FALSE(dialog.hasWorker());
}

TEST_F(BatchControlTest, CloseDuringABatch)
{
    makeAlbum(10, true);
    create();
    closeDuringTheThird(*dialog, *blocking, recorder);
    EXPECT_FALSE(dialog->IsModal());
    stoppedCleanly(10);
}

// The stop and the close, twenty times each: no deadlock, no crash.
TEST_F(BatchControlTest, StopAndCloseRepeatedly)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        fs::remove_all(dir.file("album"));
        if (blocking)
            BlockingImageHandler::uninstall();
        makeAlbum(4, true);
        create();
        if (round % 2 == 0)
            stopDuringTheThird(*dialog, *blocking);
        else
            closeDuringTheThird(*dialog, *blocking, recorder);
        stoppedCleanly(4);
        dialog.reset();
        if (HasFatalFailure() || HasFailure())
            break;
    }
}

}  // namespace
