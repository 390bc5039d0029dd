#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <wx/combobox.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dnd.h>
#include <wx/dirctrl.h>
#include <wx/gauge.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "batch/BatchTestSupport.h"
#include "jpeg/ExifBuilder.h"
#include "settings/PreferencesFile.h"
#include "ui/SettingsDialog.h"
#include "ui/AboutDialog.h"
#include "platform/DefaultProgram.h"
#include "ui/CorvaneDialog.h"
#include "ui/GuiTest.h"

namespace fs = std::filesystem;

namespace {

class CorvaneDialogTest : public GuiTest {
protected:
    std::unique_ptr<CorvaneDialog> dialog;

    void TearDown() override
    {
        dialog.reset();
        GuiTest::TearDown();
    }

    CorvaneDialog& create()
    {
        dialog = std::make_unique<CorvaneDialog>(nullptr);
        return *dialog;
    }
};

TEST_F(CorvaneDialogTest, ControlsAsBuilt)
{
    ASSERT_TRUE(wxImage(20, 10, true).SaveFile(wxString::FromUTF8(dir.file("wm.png")), wxBITMAP_TYPE_PNG));
    writePrefs("WorkingDir = " + dir.path() + "\nQuality = 150\nWidth = 1024\nRotate = 0\n"
               "IncludeSubdirectories = 1\nWaterImgFile = " + dir.file("wm.png") + "\n");
    create();
    static const struct {
        const char* name;
        const char* label;
        bool shown;
        bool enabled;
    } controls[] = {
        {"ID_GENERICDIRCTRL1", nullptr, true, true},
        {"ID_TEXTCTRLCURRENTPATH", nullptr, true, true},
        {"ID_GAUGE", nullptr, true, true},
        {"ID_CHECKBOXRESIZE", "Resize", true, true},
        {"ID_CHECKBOXAUTOROTATE", "Auto - rotate", true, true},
        {"ID_CHECKBOX1", "Use watermark", true, true},
        {"ID_STATICTEXT1", "Max size [px]", true, true},
        {"ID_TEXTCTRLX", nullptr, true, true},
        {"ID_STATICTEXT2", "Max height [px]", false, true},
        {"ID_TEXTCTRLY", nullptr, false, true},
        {"ID_CHOICEFIT", nullptr, true, true},
        {"ID_TEXTCTRLMEGAPIXELS", nullptr, false, true},
        {"ID_CHECKBOXINCLUDESUB", "Include subfolders", true, true},
        {"ID_STATICTEXT5", "Quality [%]", true, true},
        {"ID_SLIDERQUALITY", nullptr, true, true},
        {"ID_STATICTEXTQUALITYVALUE", "150", true, true},
        {"wxID_OK", "OK", true, true},
        {"wxID_CANCEL", "Close", false, false},
        {"ID_BUTTONSETTINGS", "Preferences", true, true},
        {"ID_BUTTONABOUT", "About", true, true},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        wxWindow* control = wxWindow::FindWindowByName(c.name, dialog.get());
        ASSERT_NE(control, nullptr);
        if (c.label) {
            EXPECT_EQ(control->GetLabel(), c.label);
        }
        EXPECT_EQ(control->IsShown(), c.shown);
        EXPECT_EQ(control->IsEnabled(), c.enabled);
    }
    EXPECT_EQ(dialog->GetTitle(), "Tessaly 1.1");
    EXPECT_FALSE(dialog->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(dialog->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(dialog->pathText->GetValue(), dir.path());
    EXPECT_EQ(dialog->maxWidthText->GetValue(), "1024");
    EXPECT_EQ(dialog->maxHeightText->GetValue(), "800");
    EXPECT_EQ(dialog->qualitySlider->GetValue(), 100);
    EXPECT_FALSE(dialog->autoRotateCheck->GetValue());
    EXPECT_TRUE(dialog->includeSubCheck->GetValue());
    EXPECT_EQ(dialog->gauge->GetRange(), 100);
    EXPECT_EQ(dialog->okButton->GetToolTipText(), "Press 'OK' to process all pictures in the selected directory.");
    EXPECT_FALSE(dialog->hasWorker());
    EXPECT_FALSE(fs::exists("Main.log"));
}

// The fit beside the size shows the fields it takes, from prefs.cfg and as
// chosen, and the batch gets what they hold.
TEST_F(CorvaneDialogTest, FitChoiceShowsItsFields)
{
    writePrefs("Height = 1080\nFitMode = frame\nFitMegapixels = 1.5\n");
    create();
    EXPECT_EQ(dialog->fitChoice->GetStringSelection(), wxString::FromUTF8("Width \u00d7 height"));
    EXPECT_TRUE(dialog->maxHeightText->IsShown());
    EXPECT_EQ(dialog->chosenSettings().fitMode, "frame");
    static const struct {
        int item;
        const char* mode;
        bool width, height, megapixels;
    } cases[] = {{0, "box", true, false, false}, {2, "short", true, false, false}, {6, "mp", false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        dialog->fitChoice->SetSelection(c.item);
        wxCommandEvent chosen(wxEVT_COMBOBOX, dialog->fitChoice->GetId());
        dialog->fitChoice->ProcessWindowEvent(chosen);
        EXPECT_EQ(dialog->maxWidthText->IsShown(), c.width);
        EXPECT_EQ(dialog->maxHeightText->IsShown(), c.height);
        EXPECT_EQ(dialog->megapixelsText->IsShown(), c.megapixels);
        const BatchSettings chosenSettings = dialog->chosenSettings();
        EXPECT_EQ(chosenSettings.fitMode, c.mode);
        EXPECT_EQ(chosenSettings.fitMegapixels, 1.5);
    }
}

TEST_F(CorvaneDialogTest, FirstStartWithoutWatermark)
{
    // The test binary's folder has no data/wm.png unless the build put one there.
    const wxString fallback = programDirectory() + wxString::FromUTF8(nativePath("/data/wm.png"));
    if (wxFileExists(fallback))
        GTEST_SKIP() << "a default watermark exists beside the test binary";
    create();
    const std::vector<std::string> expected = {
        "Message|Generating default config...",
        "Watermark image not found|WaterMark file could not be opened. \n\nSupposed location: " +
            std::string(fallback.utf8_str()) + "\n\nWatermark functionality will be unavailable."};
    EXPECT_EQ(recorder.messages, expected);
    EXPECT_FALSE(dialog->watermarkCheck->GetValue());
    EXPECT_FALSE(dialog->watermarkCheck->IsEnabled());
}

TEST_F(CorvaneDialogTest, LoadsTheConfiguredWatermark)
{
    // An XPM named .png: loaded by content, it comes with a mask colour.
    wxImage masked(12, 8, true);
    masked.SetRGB(wxRect(0, 0, 12, 2), 255, 0, 255);
    masked.SetMaskColour(255, 0, 255);
    ASSERT_TRUE(masked.SaveFile(wxString::FromUTF8(dir.file("masked.png")), wxBITMAP_TYPE_XPM));
    writePrefs("WaterImgFile = " + dir.file("masked.png") + "\n");
    create();
    EXPECT_TRUE(recorder.messages.empty());
    ASSERT_TRUE(dialog->watermarkImage->IsOk());
    EXPECT_TRUE(dialog->watermarkImage->HasAlpha());
    EXPECT_EQ(dialog->watermarkImage->GetAlpha(0, 0), 0);
    EXPECT_EQ(dialog->watermarkImage->GetAlpha(0, 5), 255);
    EXPECT_EQ(dialog->settingsDialog->waterImgPathText->GetValue(), dir.file("masked.png"));
    EXPECT_TRUE(dialog->watermarkCheck->IsEnabled());
}

TEST_F(CorvaneDialogTest, MissingWatermarkFallsBackToTheDefault)
{
    const std::string programDir(programDirectory().utf8_str());
    const std::string fallback = programDir + nativePath("/data/wm.png");
    const bool madeFolder = fs::create_directory(programDir + "/data");
    const bool madeImage = !fs::exists(fallback);
    if (madeImage) {
        wxImage mark(16, 8, true);
        mark.InitAlpha();
        ASSERT_TRUE(mark.SaveFile(wxString::FromUTF8(fallback), wxBITMAP_TYPE_PNG));
    }
    writePrefs("WaterImgFile = " + dir.file("gone.png") + "\n");
    create();
    // Said once, so that nobody burns the default mark into their pictures unawares.
    const std::vector<std::string> notice = {
        "Watermark image not found|WaterMark file could not be opened. \n\nSupposed location: " + dir.file("gone.png") +
        "\n\nThe default watermark is used instead: " + fallback};
    EXPECT_EQ(recorder.messages, notice);
    EXPECT_TRUE(dialog->watermarkImage->IsOk());
    EXPECT_TRUE(dialog->watermarkCheck->IsEnabled());
    EXPECT_EQ(dialog->settingsDialog->waterImgPathText->GetValue(), fallback);
    EXPECT_EQ(dialog->settingsDialog->waterImgFile, dir.file("gone.png"));
    if (madeImage)
        fs::remove(fallback);
    if (madeFolder)
        fs::remove(programDir + "/data");
}

TEST_F(CorvaneDialogTest, UnreadableWatermarkDisablesItSilently)
{
    writeFile(dir.file("broken.png"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    writePrefs("WaterImgFile = " + dir.file("broken.png") + "\n");
    create();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(dialog->watermarkCheck->IsEnabled());
    EXPECT_FALSE(dialog->watermarkCheck->GetValue());
}

TEST_F(CorvaneDialogTest, TreeAndPathStayInStep)
{
    fs::create_directories(dir.file("one/two"));
    writePrefs("WorkingDir = " + dir.path() + "\n");
    create();
    dialog->pathText->SetValue(wxString::FromUTF8(dir.file("one/two")));
    wxCommandEvent enter(wxEVT_TEXT_ENTER, dialog->pathText->GetId());
    dialog->pathText->ProcessWindowEvent(enter);
    EXPECT_EQ(dialog->dirCtrl->GetPath(), nativePath(dir.file("one/two")));
    EXPECT_EQ(dialog->pathText->GetValue(), nativePath(dir.file("one/two")));

    dialog->dirCtrl->SetPath(wxString::FromUTF8(dir.file("one")));
    EXPECT_EQ(dialog->pathText->GetValue(), nativePath(dir.file("one")));

    // Typed, a folder made after the tree read its parent is selected
    // exactly, never its parent; one that does not exist changes nothing.
    // Dropped from the file manager, a folder is selected too.
    fs::create_directories(dir.file("one/later/.hidden"));
    fs::create_directories(dir.file("dropped"));
    static const struct {
        const char* typed;
        const char* selected;
        bool drop;
    } cases[] = {{"one/later", "one/later", false},
                 {"one/later/.hidden/", "one/later/.hidden", false},
                 {"one/none", "one/later/.hidden", false},
                 {"dropped", "dropped", true},
                 {"one/none", "dropped", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const wxString typed = wxString::FromUTF8(dir.file(c.typed));
        if (c.drop) {
            static_cast<wxFileDropTarget*>(dialog->GetDropTarget())->OnDropFiles(0, 0, wxArrayString(1, &typed));
        } else {
            dialog->pathText->SetValue(typed);
            dialog->pathText->ProcessWindowEvent(enter);
        }
        EXPECT_EQ(dialog->dirCtrl->GetPath(), nativePath(dir.file(c.selected)));
        if (std::string(c.typed) != "one/none") {
            EXPECT_EQ(dialog->pathText->GetValue(), nativePath(dir.file(c.selected)));
        }
    }
}

// Regression: with the Close button disabled, Escape used to press OK.
TEST_F(CorvaneDialogTest, EscapeStartsNothing)
{
    writePrefs("WorkingDir = " + dir.path() + "\n");
    create();
    recorder.messages.clear();
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(dialog.get());
    dialog->ProcessWindowEvent(escape);
    EXPECT_EQ(dialog->okButton->GetLabel(), "OK");
    EXPECT_FALSE(dialog->hasWorker());
    EXPECT_TRUE(recorder.messages.empty());
}

// Enter in the path field chooses the folder typed, and starts no batch.
TEST_F(CorvaneDialogTest, EnterInThePathFieldStartsNothing)
{
    fs::create_directories(dir.file("typed"));
    writePrefs("WorkingDir = " + dir.path() + "\n");
    create();
    recorder.messages.clear();
    dialog->pathText->SetValue(wxString::FromUTF8(dir.file("typed")));
    for (const int key : {WXK_RETURN, WXK_NUMPAD_ENTER}) {
        wxKeyEvent enter(wxEVT_CHAR_HOOK);
        enter.m_keyCode = key;
        enter.SetEventObject(dialog->pathText);
        dialog->ProcessWindowEvent(enter);
        EXPECT_EQ(dialog->dirCtrl->GetPath(), nativePath(dir.file("typed")));
        EXPECT_FALSE(dialog->hasWorker());
        EXPECT_TRUE(recorder.messages.empty());
    }
#ifdef __WXMSW__
    EXPECT_TRUE(dialog->GetIcons().GetIconCount() > 0) << "no icon in the title bar";
#endif
}

#ifdef __WXMSW__
// Without a program for PDF files, Help says where the manual is.
TEST_F(CorvaneDialogTest, HelpWithoutAPdfProgram)
{
    if (hasDefaultProgramFor(".pdf"))
        GTEST_SKIP() << "this Windows has a program for PDF files";
    writePrefs("Width = 800\n");
    create();
    dialog->aboutDialog->programDir = wxString::FromUTF8(dir.path());
    recorder.messages.clear();
    wxCommandEvent help(wxEVT_BUTTON, dialog->aboutDialog->helpButton->GetId());
    dialog->aboutDialog->onHelp(help);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Help|The manual could not be opened: no program for PDF "
                                                          "files was found.\n\nIt is here: " +
                                                          dir.path() + "\\documents\\Tessaly_1.1_manual.pdf"});
}
#endif

TEST_F(CorvaneDialogTest, QualitySliderDrivesTheReadout)
{
    writePrefs("Quality = 82\n");
    create();
    dialog->qualitySlider->SetValue(55);
    wxCommandEvent moved(wxEVT_SLIDER, dialog->qualitySlider->GetId());
    moved.SetInt(55);
    dialog->qualitySlider->ProcessWindowEvent(moved);
    EXPECT_EQ(dialog->qualityValue->GetLabel(), "55");
}

#ifndef _WIN32
TEST_F(CorvaneDialogTest, HelpOpensTheManual)
{
    // A recording opener first on the PATH.
    const std::string record = dir.file("opened.txt");
    fs::create_directory(dir.file("bin"));
    const std::string opener = dir.file("bin/xdg-open");
    {
        std::FILE* f = std::fopen(opener.c_str(), "w");
        std::fprintf(f, "#!/bin/sh\nprintf '%%s\\n' \"$#\" \"$@\" >> '%s'\n", record.c_str());
        std::fclose(f);
    }
    fs::permissions(opener, fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir.file("bin") + ":" + oldPath).c_str(), 1);

    writePrefs("Width = 800\n");
    create();
    // The manual below the start folder when there is one there, else the
    // one beside the program (where an installed program keeps it).
    fs::create_directories(dir.file("my photos/documents"));
    writeFile(dir.file("my photos/documents/Tessaly_1.1_manual.pdf"), {'%'});
    dialog->aboutDialog->startupDir = wxString::FromUTF8(dir.file("my photos"));
    dialog->aboutDialog->programDir = wxString::FromUTF8(dir.file("program"));
    const std::string fromStart = "1\n" + dir.file("my photos") + "/documents/Tessaly_1.1_manual.pdf\n";
    const std::string fromProgram = "1\n" + dir.file("program") + "/documents/Tessaly_1.1_manual.pdf\n";
    // The opener runs on its own; give it a moment to write.
    const auto helpRecords = [&](const std::string& expected) {
        wxCommandEvent help(wxEVT_BUTTON, dialog->aboutDialog->helpButton->GetId());
        dialog->aboutDialog->onHelp(help);
        for (int i = 0; i < 500 && readFile(record) != expected; ++i)
            wxMilliSleep(10);
        EXPECT_EQ(readFile(record), expected);
    };
    helpRecords(fromStart);
    fs::remove(dir.file("my photos/documents/Tessaly_1.1_manual.pdf"));
    helpRecords(fromStart + fromProgram);

    // No viewer for PDF files: the opener fails, and the user learns where the manual is.
    writeFile(opener, {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n', 'e', 'x', 'i', 't', ' ', '3', '\n'});
    fs::permissions(opener, fs::perms::owner_all);
    recorder.messages.clear();
    wxCommandEvent help(wxEVT_BUTTON, dialog->aboutDialog->helpButton->GetId());
    dialog->aboutDialog->onHelp(help);
    for (int i = 0; i < 500 && recorder.messages.empty(); ++i) {
        wxTheApp->Yield();
        wxMilliSleep(10);
    }
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Help|The manual could not be opened: no program for PDF "
                                                          "files was found.\n\nIt is here: " +
                                                          dir.file("program") + "/documents/Tessaly_1.1_manual.pdf"});
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(dialog->aboutDialog->GetTitle(), "Tessaly 1.1 | About");
    const AboutDialog& about = *dialog->aboutDialog;
    EXPECT_EQ(about.nameLabel->GetLabel(), "Tessaly 1.1");
    EXPECT_EQ(about.versionLabel->GetLabel(), "version 1.1");
    EXPECT_EQ(about.webLabel->GetLabel(), "www.tessaly.example");
    EXPECT_EQ(about.creditsLabel->GetLabel(), "(c) 2026 The Tessaly developers");
    // 51 x 23 at least; more where the theme needs it for the label.
    EXPECT_GE(dialog->aboutDialog->helpButton->GetSize().x, 51);
    EXPECT_GE(dialog->aboutDialog->helpButton->GetSize().y, 23);
}
#endif

}  // namespace
