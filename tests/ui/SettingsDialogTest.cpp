#include <clocale>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include <wx/fontpicker.h>
#include <wx/combobox.h>
#include <wx/clrpicker.h>
#include <wx/modalhook.h>
#include <wx/statbmp.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <wx/utils.h>

#include "batch/BatchTestSupport.h"
#include "batch/TextMark.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"
#include "ui/SettingsDialog.h"
#include "ui/GuiTest.h"
#include "ui/ModalScript.h"

namespace fs = std::filesystem;

namespace {

const std::string placementMessage =
    "Error in prefs.cfg file.|Error in WM placement configuration. Please check your prefs.cfg file.";

class SettingsDialogTest : public GuiTest {
protected:
    std::unique_ptr<SettingsDialog> dialog;

    void TearDown() override
    {
        dialog.reset();
        GuiTest::TearDown();
    }

    SettingsDialog& create()
    {
        dialog = std::make_unique<SettingsDialog>(nullptr, -1);
        dialog->startupDir = wxString::FromUTF8(dir.path());
        return *dialog;
    }

    // Shows the dialog modally, runs the action inside its modal loop and
    // closes it if the action did not.
    void whileShown(const std::function<void()>& action)
    {
        dialog->CallAfter([this, action] {
            action();
            if (dialog->IsModal())
                dialog->EndModal(wxID_ABORT);
        });
        dialog->ShowModal();
    }

    void moveSlider(int position)
    {
        dialog->alphaSlider->SetValue(position);
        wxCommandEvent event(wxEVT_SLIDER, dialog->alphaSlider->GetId());
        event.SetInt(position);
        event.SetEventObject(dialog->alphaSlider);
        dialog->alphaSlider->ProcessWindowEvent(event);
    }

    int selectedButton() const
    {
        for (int i = 0; i < 9; ++i)
            if (dialog->placementButtons[i]->GetValue())
                return i + 1;
        return 0;
    }

    std::string image(const std::string& name, int w, int h, int alphaKind, wxBitmapType type)
    {
        wxImage picture(w, h, true);
        if (alphaKind == 1) {
            picture.InitAlpha();
            for (int x = 0; x < w; ++x)
                picture.SetAlpha(x, 0, 128);
        } else if (alphaKind == 2) {
            // Saved as XPM, it loads back with a mask (a PNG always loads
            // back with an alpha channel).
            picture.SetRGB(wxRect(0, 0, w, 1), 255, 0, 255);
            picture.SetMaskColour(255, 0, 255);
        }
        const std::string path = dir.file(name);
        EXPECT_TRUE(picture.SaveFile(wxString::FromUTF8(path), type));
        return path;
    }
};

TEST_F(SettingsDialogTest, FirstStartWritesTheDefaults)
{
    create();
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Message|Generating default config..."});
    const std::string programDir(programDirectory().utf8_str());
    // The tree's root: "/", or the first drive on Windows.
    const std::string root = nativePath("/") == "/" ? "/" : "C:\\";
    EXPECT_EQ(readFile("prefs.cfg"), "#Tessaly 1.1 configuration file\nWorkingDir = " + root + "\nWaterImgFile = " +
                                         programDir + nativePath("/data/wm.png") +
                                         "\nResize = 1\nUseWatermark = 1\nRotate = 1\nWidth = 800\n"
                                         "Height = 800\nAlpha = 0.2\nQuality = 82\nIncludeSubdirectories = 0\n"
                                         "WmPlacement = 5\n");
    EXPECT_EQ(dialog->alphaText->GetValue(), "0.200");
    EXPECT_EQ(dialog->alphaSlider->GetValue(), 20);
    EXPECT_EQ(selectedButton(), 5);
    EXPECT_EQ(dialog->waterImgPathText->GetValue(), programDir + nativePath("/data/wm.png"));
    EXPECT_EQ(dialog->workingDir, root);
    EXPECT_TRUE(dialog->resize && dialog->useWatermark && dialog->rotate);
    EXPECT_FALSE(dialog->includeSubdirectories);
}

TEST_F(SettingsDialogTest, ControlsAndLayout)
{
    writePrefs("Width = 800\n");
    create();
    EXPECT_EQ(dialog->GetTitle(), "Tessaly 1.1 | Preferences");
    EXPECT_EQ(dialog->GetName(), "wxID_ANY");
    EXPECT_FALSE(dialog->alphaText->IsEnabled());
    EXPECT_EQ(dialog->alphaText->GetName(), "ID_TEXTCTRLALPHA");
    EXPECT_EQ(dialog->alphaText->GetToolTipText(),
              "Value of the alpha when water mark picture does not have alpha channel.");
    EXPECT_EQ(dialog->alphaSlider->GetMax(), 100);
    EXPECT_EQ(dialog->placementButtons[8]->GetName(), "ID_RADIOBUTTONPLACEMENT9");
    EXPECT_EQ(dialog->waterImgPathText->GetSize(), wxSize(300, 21));
    EXPECT_EQ(dialog->preview->GetSize(), wxSize(200, 150));
    // A long path can be read whole: in the tool tip, and in the field as
    // the dialog grows.
    dialog->waterImgPathText->SetValue(wxS("/a/long/way/to/the/watermark.png"));
    EXPECT_EQ(dialog->waterImgPathText->GetToolTipText(),
              "Path to the image used in watermarking process.\n/a/long/way/to/the/watermark.png");
    const wxSize first = dialog->GetSize();
    dialog->SetSize(first.x + 200, first.y);
    dialog->Layout();
    EXPECT_GT(dialog->waterImgPathText->GetSize().x, 300);
    dialog->SetSize(first);
    dialog->Layout();
    EXPECT_EQ(dialog->okButton->GetId(), wxID_OK);
    EXPECT_EQ(dialog->cancelButton->GetLabel(), "Cancel");
    EXPECT_EQ(dialog->browseButton->GetToolTipText(), "Click here to find water mark image.");
    EXPECT_EQ(dialog->fileDialog->GetWildcard(),
              "BMP, JPG, PNG and GIF files (*.bmp;*.jpg;*.png;*.gif)|*.bmp;*.jpg;*.png;*.gif");
    EXPECT_FALSE(dialog->IsShown());
}

TEST_F(SettingsDialogTest, LoadsValues)
{
    static const struct {
        const char* file;
        double alpha;
        const char* alphaText;
        int slider, width, height;
        bool resize;
    } cases[] = {
        {"Width = 1024\n", 0.2, "0.200", 20, 1024, 800, true},
        {"Alpha = 0.29\n", 0.29, "0.290", 28, 800, 800, true},
        {"Alpha = 1.5\nResize = no\n", 1.5, "1.500", 100, 800, 800, false},
        {"Resize = off\nHeight = 12px\n", 0.2, "0.200", 20, 800, 12, true},
        {"Resize = 0\nWidth = abc\n", 0.2, "0.200", 20, 0, 800, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        writePrefs(c.file);
        create();
        EXPECT_TRUE(recorder.messages.empty());
        EXPECT_EQ(dialog->alpha, c.alpha);
        EXPECT_EQ(dialog->savedAlpha, c.alpha);
        EXPECT_EQ(dialog->alphaText->GetValue(), c.alphaText);
        EXPECT_EQ(dialog->alphaSlider->GetValue(), c.slider);
        EXPECT_EQ(dialog->width, c.width);
        EXPECT_EQ(dialog->height, c.height);
        EXPECT_EQ(dialog->resize, c.resize);
        EXPECT_EQ(dialog->wmPlacement, 5);
        EXPECT_EQ(dialog->waterImgFile, "");
        EXPECT_EQ(dialog->workingDir, "");
    }
}

TEST_F(SettingsDialogTest, PlacementOutOfRange)
{
    for (const char* value : {"0", "10", "-1"}) {
        SCOPED_TRACE(value);
        recorder.messages.clear();
        writePrefs(std::string("WmPlacement = ") + value + "\n");
        create();
        EXPECT_EQ(recorder.messages, std::vector<std::string>{placementMessage});
        EXPECT_EQ(selectedButton(), 5);
        EXPECT_EQ(dialog->wmPlacement, std::stoi(value));
        dialog->savePreferences();
        EXPECT_NE(readFile("prefs.cfg").find("\nWmPlacement = 5 \n"), std::string::npos);
    }
}

TEST_F(SettingsDialogTest, SliderThenOk)
{
    writePrefs("Alpha = 0.2\n");
    create();
    whileShown([this] {
        moveSlider(35);
        EXPECT_EQ(dialog->alphaText->GetValue(), "0.350");
        EXPECT_EQ(dialog->alpha, 0.2);  // only OK takes it over
        dialog->placementButtons[8]->SetValue(true);
        click(dialog->okButton);
        EXPECT_FALSE(dialog->IsShown());
    });
    EXPECT_EQ(dialog->alpha, 0.35);
    EXPECT_EQ(dialog->savedAlpha, 0.35);
    EXPECT_EQ(dialog->wmPlacement, 9);
}

TEST_F(SettingsDialogTest, OkRefusesBadAlpha)
{
    static const struct {
        const char* file;
        const char* text;  // typed into the box by the test, if any
        const char* message;
    } cases[] = {
        {"Alpha = 1.5\n", nullptr,
         "Error processing Alpha.|Error processing Alpha. Alpha has to be inside interval 0.0 - 1.0"},
        {"Alpha = -0.1\n", nullptr,
         "Error processing Alpha.|Error processing Alpha. Alpha has to be inside interval 0.0 - 1.0"},
        {"Alpha = 0.5\n", "abc", "Error processing Alpha.|Error processing Alpha. Alpha has to be a number."},
        {"Alpha = 0.5\n", "0.5x", "Error processing Alpha.|Error processing Alpha. Alpha has to be a number."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        writePrefs(c.file);
        create();
        recorder.messages.clear();
        whileShown([&] {
            if (c.text)
                dialog->alphaText->SetValue(c.text);
            click(dialog->okButton);
            EXPECT_TRUE(dialog->IsShown()) << "the dialog stays open";
        });
        ASSERT_FALSE(recorder.messages.empty());
        EXPECT_EQ(recorder.messages.back(), c.message);
    }

    for (const char* accepted : {"Alpha = 1.0\n", "Alpha = 0\n"}) {
        writePrefs(accepted);
        create();
        whileShown([this] {
            click(dialog->okButton);
            EXPECT_FALSE(dialog->IsShown());
        });
    }
}

// OK takes the text mark and the output controls into the settings, after
// refusing what the batch could not use; WebP greys JPEG's own choices.
TEST_F(SettingsDialogTest, OkTakesTheTextMarkAndOutput)
{
    static const struct {
        const char* text;
        const char* size;
        const char* message;  // "" when OK closes the dialog
        int kilobytes;        // taken
    } cases[] = {
        {"© {yaer}", "", "Watermark text|the watermark text \"© {yaer}\": the token {yaer} is unknown", 0},
        {"{name}", "7", "Error processing At most [KB]|At most [KB] has to be a whole number from 8", 0},
        {"{name}", "1000001", "Error processing At most [KB]|At most [KB] has to be a whole number from 8", 0},
        {"{name}", "150", "", 150},
        // As a preset or tessaly-batch takes it.
        {"{name}", "2M", "", 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        writePrefs("");
        create();
        recorder.messages.clear();
        whileShown([&] {
            dialog->textWatermarkCheck->SetValue(true);
            dialog->watermarkTextText->SetValue(wxString::FromUTF8(c.text));
            dialog->textColourPicker->SetColour(wxColour(16, 32, 48));
            dialog->outputFormatChoice->SetSelection(1);
            wxCommandEvent chosen(wxEVT_COMBOBOX, dialog->outputFormatChoice->GetId());
            chosen.SetInt(1);
            dialog->outputFormatChoice->ProcessWindowEvent(chosen);
            EXPECT_FALSE(dialog->progressiveCheck->IsEnabled());
            dialog->maxFileSizeText->SetValue(wxString::FromUTF8(c.size));
            dialog->sharpeningChoice->SetSelection(2);
            click(dialog->okButton);
            EXPECT_EQ(dialog->IsShown(), *c.message != '\0');
        });
        if (*c.message != '\0') {
            ASSERT_FALSE(recorder.messages.empty());
            EXPECT_EQ(recorder.messages.back().rfind(c.message, 0), 0u) << recorder.messages.back();
            continue;
        }
        const BatchSettings& taken = dialog->settings();
        EXPECT_TRUE(taken.textWatermark);
        EXPECT_EQ(taken.watermarkText + taken.textColour + taken.outputFormat + taken.sharpening,
                  "{name}#102030webpstandard");
        EXPECT_EQ(taken.maxFileSize, c.kilobytes);
    }
    // A font chosen from the installed ones fills the field.
    writePrefs("");
    create();
    wxFontPickerEvent picked(dialog->textFontPicker, dialog->textFontPicker->GetId(),
                             wxFont(wxFontInfo(12).FaceName("DejaVu Serif")));
    dialog->textFontPicker->ProcessWindowEvent(picked);
    EXPECT_EQ(dialog->textFontText->GetValue(), "DejaVu Serif");
    // The letters' own opacity, refused beyond its range.
    for (const char* opacity : {"1.5", "0.5"}) {
        writePrefs("");
        create();
        recorder.messages.clear();
        whileShown([&] {
            dialog->textWatermarkCheck->SetValue(true);
            dialog->watermarkTextText->SetValue("x");
            dialog->textOpacityText->SetValue(opacity);
            click(dialog->okButton);
        });
        const bool refused = std::string(opacity) == "1.5";
        EXPECT_EQ(!recorder.messages.empty() &&
                      recorder.messages.back().rfind("Error processing Opacity [0.0 - 1.0]|", 0) == 0,
                  refused);
        if (!refused) {
            EXPECT_EQ(dialog->settings().textOpacity, 0.5);
        }
    }
    // A later setting of prefs.cfg out of its range is told at the start,
    // with its line, and left at its default.
    writePrefs("Quality = 70\nWatermarkSize = 100000\n");
    recorder.messages.clear();
    create();
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.front(), "Error in prefs.cfg file.|prefs.cfg, line 2: WatermarkSize cannot be 100000; "
                                         "it takes a number from 0 to 100");
    EXPECT_EQ(dialog->settings().watermarkSize, 0);
    EXPECT_EQ(dialog->settings().quality, 70);
}

// Automatic placement swaps the nine positions for the places it may
// choose, the four corners at first; with none ticked OK says so.
TEST_F(SettingsDialogTest, AutomaticPlacementTakesTheTickedPlaces)
{
    writePrefs("");
    create();
    whileShown([this] {
        EXPECT_FALSE(dialog->autoPlaceChecks[0]->IsShown());
        dialog->autoPlacementCheck->SetValue(true);
        wxCommandEvent ticked(wxEVT_CHECKBOX, dialog->autoPlacementCheck->GetId());
        ticked.SetInt(1);
        dialog->autoPlacementCheck->ProcessWindowEvent(ticked);
        EXPECT_TRUE(dialog->autoPlaceChecks[0]->IsShown());
        EXPECT_FALSE(dialog->placementButtons[0]->IsShown());
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(dialog->autoPlaceChecks[i]->GetValue(), i == 0 || i == 2 || i == 6 || i == 8) << i;
            dialog->autoPlaceChecks[i]->SetValue(false);
        }
        click(dialog->okButton);
        EXPECT_TRUE(dialog->IsShown());
        dialog->autoPlaceChecks[7]->SetValue(true);
        dialog->autoPlaceChecks[1]->SetValue(true);
        click(dialog->okButton);
        EXPECT_FALSE(dialog->IsShown());
    });
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages.back(), "Placement|Tick at least one place Automatic may choose.");
    EXPECT_TRUE(dialog->autoPlacement);
    EXPECT_EQ(dialog->autoPlaces, "top,bottom");
}

TEST_F(SettingsDialogTest, CancelRestoresTheConfirmedState)
{
    const std::string confirmed = image("mark.png", 20, 20, 0, wxBITMAP_TYPE_PNG);
    const std::string other = image("other.png", 20, 20, 0, wxBITMAP_TYPE_PNG);
    writePrefs("Alpha = 0.2\nWmPlacement = 3\nWaterImgFile = " + confirmed + "\n");
    create();
    whileShown([&] {
        moveSlider(70);
        dialog->placementButtons[8]->SetValue(true);
        dialog->watermarkChosen(wxString::FromUTF8(other));
        EXPECT_EQ(dialog->waterImgFile, other);
        click(dialog->cancelButton);
    });
    EXPECT_EQ(dialog->alpha, 0.2);
    EXPECT_EQ(dialog->alphaSlider->GetValue(), 20);
    EXPECT_EQ(dialog->alphaText->GetValue(), "0.200");
    EXPECT_EQ(selectedButton(), 3);
    EXPECT_EQ(dialog->waterImgFile, confirmed);
    EXPECT_EQ(dialog->waterImgPathText->GetValue(), confirmed);
}

TEST_F(SettingsDialogTest, PreviewSizes)
{
    static const struct {
        int w, h, shownW, shownH;
    } cases[] = {{400, 100, 200, 50}, {300, 450, 100, 150}, {120, 80, 120, 80}, {200, 150, 200, 150}};
    writePrefs("Width = 800\n");
    create();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        dialog->watermarkChosen(wxString::FromUTF8(image("p.jpg", c.w, c.h, 0, wxBITMAP_TYPE_JPEG)));
        EXPECT_EQ(dialog->preview->GetBitmap().GetWidth(), c.shownW);
        EXPECT_EQ(dialog->preview->GetBitmap().GetHeight(), c.shownH);
    }
}

TEST_F(SettingsDialogTest, BrowseMessages)
{
    writePrefs("Width = 800\n");
    create();
    static const struct {
        const char* name;
        int alphaKind;
        wxBitmapType type;
        const char* message;
        bool sliderEnabled;
    } cases[] = {
        {"alpha.png", 1, wxBITMAP_TYPE_PNG,
         "Info|The picture you have selected does contain alpha channel, it will be used. \n\nSetting in the upper "
         "left corner ( Alpha [0.0 - 1.0] ) will not be used.",
         false},
        {"masked.xpm", 2, wxBITMAP_TYPE_XPM,
         "Info|The picture you have selected does contain mask, it will be used. \n\nSetting in the upper left "
         "corner ( Alpha [0.0 - 1.0] ) will not be used.",
         false},
        {"plain.jpg", 0, wxBITMAP_TYPE_JPEG,
         "Info|The picture you have selected does not contain alpha channel. \n\nPlease check the Alpha channel "
         "setting in the upper left corner ( Alpha [0.0 - 1.0] ).",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.messages.clear();
        dialog->watermarkChosen(wxString::FromUTF8(image(c.name, 30, 20, c.alphaKind, c.type)));
        EXPECT_EQ(recorder.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(dialog->alphaSlider->IsEnabled(), c.sliderEnabled);
        EXPECT_EQ(dialog->alphaLabel->IsEnabled(), c.sliderEnabled);
        EXPECT_EQ(dialog->waterImgFile, dir.file(c.name));
    }

    recorder.messages.clear();
    dialog->watermarkChosen(wxString::FromUTF8(dir.file("gone.png")));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Settings dialog|WaterMark file does not exist. \n\nSupposed "
                                                          "location: " + dir.file("gone.png")});
    EXPECT_FALSE(dialog->preview->GetBitmap().IsOk());
}

TEST_F(SettingsDialogTest, MissingWatermarkReportedAtEveryShowing)
{
    writePrefs("WaterImgFile = " + dir.file("none.png") + "\n");
    create();
    for (int showing = 1; showing <= 2; ++showing) {
        whileShown([] {});
        ASSERT_EQ(recorder.messages.size(), static_cast<std::size_t>(showing));
        EXPECT_EQ(recorder.messages.back(),
                  "Settings dialog|WaterMark file does not exist. \n\nSupposed location: " + dir.file("none.png"));
    }
}

TEST_F(SettingsDialogTest, InitDialogFollowsTheAlphaChannel)
{
    writePrefs("WaterImgFile = " + image("alpha.png", 300, 450, 1, wxBITMAP_TYPE_PNG) + "\n");
    create();
    whileShown([this] {
        EXPECT_FALSE(dialog->alphaSlider->IsEnabled());
        EXPECT_EQ(dialog->preview->GetBitmap().GetWidth(), 100);
    });
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SettingsDialogTest, SavedFileBytes)
{
    writePrefs("Width = 800\n");
    create();
    dialog->workingDir = "/photos/2026 #1";
    dialog->waterImgFile = "/wm.png";
    dialog->resize = false;
    dialog->includeSubdirectories = true;
    dialog->width = 1024;
    dialog->quality = 90;
    dialog->placementButtons[6]->SetValue(true);
    dialog->savePreferences();
    EXPECT_EQ(readFile("prefs.cfg"), "#Tessaly 1.1 configuration file\nWorkingDir = /photos/2026 #1 \n"
                                     "WaterImgFile = /wm.png \nResize = 0 \nUseWatermark = 1 \nRotate = 1 \n"
                                     "Width = 1024 \nHeight = 800 \nAlpha = 0.200000 \nQuality = 90 \n"
                                     "IncludeSubdirectories = 1\nWmPlacement = 7 \n");
    EXPECT_EQ(dialog->wmPlacement, 7);
    // Read back, the folder is cut at the comment marker.
    const ConfigFile file("prefs.cfg", "=", "#", "EndConfigFile");
    std::string folder;
    file.readValue("WorkingDir", folder);
    EXPECT_EQ(folder, "/photos/2026");
}

TEST_F(SettingsDialogTest, RoundTripKeepsTheValues)
{
    create();  // writes and reads the defaults
    const BatchSettings first = dialog->settings();
    const wxString firstFolder = dialog->workingDir;
    dialog->savePreferences();
    create();
    EXPECT_EQ(dialog->workingDir, firstFolder);
    EXPECT_EQ(savedPreferencesText(dialog->settings(), "/"), savedPreferencesText(first, "/"));
}

TEST_F(SettingsDialogTest, SavesIntoTheStartupFolder)
{
    writePrefs("Width = 640\n");
    create();
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    dialog->savePreferences();
    EXPECT_EQ(fs::current_path(), fs::path(dir.path()));
    EXPECT_FALSE(fs::exists(dir.file("elsewhere/prefs.cfg")));
    EXPECT_NE(readFile(dir.file("prefs.cfg")).find("Width = 640 \n"), std::string::npos);
}

TEST_F(SettingsDialogTest, DecimalPointUnderADecimalCommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    // Linux's name for it, or Windows'.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "German"))
        GTEST_SKIP() << "no German locale installed";
    writePrefs("Alpha = 0.5\n");
    create();
    EXPECT_EQ(dialog->alpha, 0.5);
    EXPECT_EQ(dialog->alphaText->GetValue(), "0.500");
    whileShown([this] {
        moveSlider(35);
        click(dialog->okButton);
    });
    EXPECT_EQ(dialog->alpha, 0.35);
    dialog->savePreferences();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_NE(readFile("prefs.cfg").find("\nAlpha = 0.350000 \n"), std::string::npos);
}

TEST_F(SettingsDialogTest, PrefsThatCanNeitherBeFoundNorCreated)
{
    // A working directory that has been removed: nothing can be created in it.
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove(dir.file("gone"));
    create();
    const std::vector<std::string> expected = {
        "Message|Generating default config...", "Message|Error when creating file with preferences occured.",
        "Info|Default configuration file could not be created."};
    EXPECT_EQ(recorder.messages, expected);
    EXPECT_EQ(dialog->width, 800);
    EXPECT_EQ(dialog->alphaText->GetValue(), "0.200");
    fs::current_path(dir.path());
}

// The preview shows the folder's pictures as the batch writes them, steps
// past one that cannot be read, follows the placement and, for a folder
// without pictures, shows the sample.
TEST_F(SettingsDialogTest, PreviewFollowsThePictureAndTheSettings)
{
    fs::create_directory(dir.file("album"));
    fs::create_directory(dir.file("empty"));
    wxImage grey(1200, 600);
    grey.SetRGB(wxRect(0, 0, 1200, 600), 100, 100, 100);
    ASSERT_TRUE(grey.SaveFile(wxString::FromUTF8(dir.file("album/a.jpg")), wxBITMAP_TYPE_JPEG));
    ASSERT_TRUE(grey.Rotate90().SaveFile(wxString::FromUTF8(dir.file("album/b.jpg")), wxBITMAP_TYPE_JPEG));
    std::FILE* broken = std::fopen(dir.file("album/c.jpg").c_str(), "wb");
    std::fclose(broken);
    wxImage mark(40, 20);
    mark.SetRGB(wxRect(0, 0, 40, 20), 250, 250, 250);
    ASSERT_TRUE(mark.SaveFile(wxString::FromUTF8(dir.file("mark.png")), wxBITMAP_TYPE_PNG));
    writePrefs("WaterImgFile = " + dir.file("mark.png") + "\nWmPlacement = 1\n");
    create();
    dialog->previewFolder = wxString::FromUTF8(dir.file("album"));
    dialog->previewChoices.width = 500;

    auto shows = [this](const char* name, const char* size) {
        return [this, name, size] {
            return dialog->previewName->GetLabel() == wxString::FromUTF8(name) &&
                   dialog->previewSize->GetLabel() == wxString::FromUTF8(size);
        };
    };
    // The grey picture's corner, and whether the light mark lightens it.
    auto marked = [this](bool bottomRight) {
        const wxImage shown = dialog->picturePreview->GetBitmap().ConvertToImage();
        const int x = bottomRight ? shown.GetWidth() - 3 : 2, y = bottomRight ? shown.GetHeight() - 3 : 2;
        return shown.GetRed(x, y) > 120;
    };
    ModalScript script(*dialog);
    script.run([&] {
        script.when(shows("a.jpg (1 of 3)", "1200 × 600 → 500 × 250"), [&] {
            EXPECT_EQ(dialog->picturePreview->GetBitmap().GetWidth(), dialog->picturePreview->GetClientSize().GetWidth());
            EXPECT_TRUE(marked(false) && !marked(true));
            dialog->placementButtons[8]->SetValue(true);
            wxCommandEvent placed(wxEVT_RADIOBUTTON, dialog->placementButtons[8]->GetId());
            dialog->placementButtons[8]->ProcessWindowEvent(placed);
            script.when([&] { return marked(true) && !marked(false); }, [&] {
                click(dialog->nextButton);
                script.when(shows("b.jpg (2 of 3)", "600 × 1200 → 250 × 500"), [&] {
                    // With a results folder, the name its picture gets.
                    dialog->saveToFolderCheck->SetValue(true);
                    dialog->nameTemplateText->SetValue("{counter:2}-{width}");
                    script.when(shows("b.jpg → 02-250.jpg (2 of 3)", "600 × 1200 → 250 × 500"), [&] {
                        // The name follows the format as it is chosen.
                        dialog->outputFormatChoice->SetSelection(1);
                        wxCommandEvent chosen(wxEVT_COMBOBOX, dialog->outputFormatChoice->GetId());
                        chosen.SetInt(1);
                        dialog->outputFormatChoice->ProcessWindowEvent(chosen);
                        script.when(shows("b.jpg → 02-250.webp (2 of 3)", "600 × 1200 → 250 × 500"), [&] {
                            dialog->nameTemplateText->SetValue("");
                            click(dialog->nextButton);
                            script.when(shows("a.jpg (1 of 3)", "1200 × 600 → 500 × 250"),
                                        [&] { dialog->EndModal(wxID_OK); });
                        });
                    });
                });
            });
        });
    });
    dialog->previewFolder = wxString::FromUTF8(dir.file("empty"));
    script.run([&] {
        script.when(shows("Sample picture: no pictures in the folder", "1200 × 800 → 500 × 333"),
                    [&] { dialog->EndModal(wxID_OK); });
    });
    EXPECT_TRUE(recorder.messages.size() <= 1) << "no box but the watermark's notice";
}

// A text mark shows in the preview as the batch draws it: in its colour
// where it is placed, a malformed token named instead of the size, and
// gone again when the box is unticked.
TEST_F(SettingsDialogTest, PreviewShowsTheTextMark)
{
    fs::create_directory(dir.file("album"));
    wxImage grey(1200, 600);
    grey.SetRGB(wxRect(0, 0, 1200, 600), 100, 100, 100);
    ASSERT_TRUE(grey.SaveFile(wxString::FromUTF8(dir.file("album/a.jpg")), wxBITMAP_TYPE_JPEG));
    writePrefs("Alpha = 1.0\nTextWatermark = 1\nWatermarkText = {name} HHHH\nTextColour = FF0000\nTextSize = 10\n");
    create();
    dialog->previewFolder = wxString::FromUTF8(dir.file("album"));
    dialog->previewChoices.width = 500;
    // Red pixels in the middle of the grey picture: the text's.
    auto reddened = [this] {
        const wxImage shown = dialog->picturePreview->GetBitmap().ConvertToImage();
        int red = 0;
        for (int x = 0; x < shown.GetWidth(); ++x)
            red += shown.GetRed(x, shown.GetHeight() / 2) > shown.GetGreen(x, shown.GetHeight() / 2) + 60;
        return red;
    };
    const auto showsSize = [this] { return dialog->previewSize->GetLabel().StartsWith(wxS("1200")); };
    ModalScript script(*dialog);
    script.run([&] {
        script.when([&] { return showsSize() && reddened() > 10; }, [&] {
            dialog->watermarkTextText->SetValue(wxS("{nmae}"));
            script.when([&] { return dialog->previewSize->GetLabel().Contains(wxS("{nmae} is unknown")); }, [&] {
                dialog->watermarkTextText->SetValue(wxS("{name}"));
                dialog->textWatermarkCheck->SetValue(false);
                wxCommandEvent unticked(wxEVT_CHECKBOX, dialog->textWatermarkCheck->GetId());
                dialog->textWatermarkCheck->ProcessWindowEvent(unticked);
                script.when([&] { return showsSize() && reddened() == 0; }, [&] { dialog->EndModal(wxID_OK); });
            });
        });
    });
}

// The GPS position is part of the EXIF data: its box is greyed until
// "Keep EXIF data" is ticked, and keeps its own tick meanwhile.
TEST_F(SettingsDialogTest, GpsGoesWithExif)
{
    writePrefs("KeepGps = 1\n");
    create();
    whileShown([this] {
        EXPECT_FALSE(dialog->keepGpsCheck->IsEnabled());
        EXPECT_TRUE(dialog->keepGpsCheck->GetValue());
        for (const bool exif : {true, false}) {
            dialog->keepExifCheck->SetValue(exif);
            wxCommandEvent ticked(wxEVT_CHECKBOX, dialog->keepExifCheck->GetId());
            ticked.SetInt(exif);
            dialog->keepExifCheck->ProcessWindowEvent(ticked);
            EXPECT_EQ(dialog->keepGpsCheck->IsEnabled(), exif);
            EXPECT_TRUE(dialog->keepGpsCheck->GetValue());
        }
    });
}

// The preview shows what the batch would write, and nothing else: the
// watermark overview follows a typed path, a size OK would refuse marks
// its field while the preview keeps the last valid one, and a click shows
// the picture at 100 % in a window of its own.
TEST_F(SettingsDialogTest, PreviewFollowsWhatIsTypedAndShowsFullSize)
{
    fs::create_directory(dir.file("album"));
    wxImage grey(1200, 600);
    grey.SetRGB(wxRect(0, 0, 1200, 600), 100, 100, 100);
    ASSERT_TRUE(grey.SaveFile(wxString::FromUTF8(dir.file("album/a.jpg")), wxBITMAP_TYPE_JPEG));
    const std::string small = image("small.png", 40, 20, 0, wxBITMAP_TYPE_PNG);
    const std::string large = image("large.png", 400, 100, 0, wxBITMAP_TYPE_PNG);
    writePrefs("WaterImgFile = " + small + "\nWatermarkSize = 25\n");
    create();
    dialog->previewFolder = wxString::FromUTF8(dir.file("album"));
    dialog->previewChoices.width = 500;

    // Windows of the preview's own: recorded and closed at once.
    struct FullSizeWindows : wxModalDialogHook {
        std::vector<std::string> titles;
        FullSizeWindows() { Register(); }
        ~FullSizeWindows() override { Unregister(); }
        int Enter(wxDialog* window) override
        {
            if (!window->GetTitle().EndsWith(wxS("(100 %)")))
                return wxID_NONE;
            // The picture at 100 %: as large as the batch writes it.
            wxSize shown;
            for (wxWindow* child : window->GetChildren())
                for (wxWindow* inner : child->GetChildren())
                    if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(inner))
                        shown = bitmap->GetBitmap().GetSize();
            titles.push_back(std::string(window->GetTitle().utf8_str()) + " " + std::to_string(shown.x) + "x" +
                             std::to_string(shown.y));
            return wxID_OK;
        }
        void Exit(wxDialog*) override {}
    } fullSize;
    ModalScript script(*dialog);
    script.run([&] {
        script.when([&] { return dialog->previewSize->GetLabel() == wxString::FromUTF8("1200 × 600 → 500 × 250"); },
                    [&] {
                        EXPECT_EQ(dialog->preview->GetBitmap().GetWidth(), 40);
                        dialog->waterImgPathText->SetValue(wxString::FromUTF8(large));
                        EXPECT_EQ(dialog->preview->GetBitmap().GetWidth(), 200) << "the overview follows";
                        const wxColour normal = dialog->watermarkSizeText->GetBackgroundColour();
                        dialog->watermarkSizeText->SetValue("150");
                        EXPECT_NE(dialog->watermarkSizeText->GetBackgroundColour(), normal);
                        dialog->watermarkSizeText->SetValue("30");
                        EXPECT_EQ(dialog->watermarkSizeText->GetBackgroundColour(), normal);
                        wxMouseEvent click(wxEVT_LEFT_UP);
                        click.SetEventObject(dialog->picturePreview);
                        dialog->picturePreview->ProcessWindowEvent(click);
                        script.when([&] { return !fullSize.titles.empty(); }, [&] { dialog->EndModal(wxID_OK); });
                    });
    });
    ASSERT_EQ(fullSize.titles, std::vector<std::string>{"a.jpg (100 %) 500x250"});
}

}  // namespace

// A preset saved in Preferences fills every control when chosen again, and
// tessaly-batch writes with it what the window writes.
TEST_F(SettingsDialogTest, PresetFromTheWindowServesTheTerminal)
{
    writePrefs("");
    create();
    fs::create_directories(dir.file("album"));
    writeQuadrantJpeg(dir.file("album/a.jpg"), 1500, 1000, 6);
    writeQuadrantJpeg(dir.file("album/b.jpg"), 900, 700);
    recorder.textAnswers = {"web"};
    whileShown([this] {
        dialog->sharpeningChoice->SetSelection(3);
        dialog->watermarkSizeText->SetValue("25");
        dialog->textWatermarkCheck->SetValue(true);
        dialog->watermarkTextText->SetValue("{name}");
        dialog->saveToFolderCheck->SetValue(true);
        dialog->resultsFolderText->SetValue(wxString::FromUTF8(dir.file("terminal")));
        dialog->nameTemplateText->SetValue("{counter:2}-{width}");
        click(static_cast<wxButton*>(wxWindow::FindWindowByName("ID_BUTTONSAVEPRESET", dialog.get())));
        // Changed again, then the preset chosen: its values come back.
        dialog->sharpeningChoice->SetSelection(0);
        dialog->nameTemplateText->SetValue("");
        auto* choice = static_cast<wxComboBox*>(wxWindow::FindWindowByName("ID_CHOICEPRESET", dialog.get()));
        ASSERT_EQ(choice->GetCount(), 1u);
        choice->SetSelection(0);
        wxCommandEvent chosen(wxEVT_COMBOBOX, choice->GetId());
        chosen.SetInt(0);
        choice->ProcessWindowEvent(chosen);
        EXPECT_EQ(dialog->sharpeningChoice->GetSelection(), 3);
        EXPECT_EQ(dialog->nameTemplateText->GetValue(), "{counter:2}-{width}");
        click(dialog->okButton);
    });
    EXPECT_TRUE(dialog->presetTaken);
    EXPECT_EQ(dialog->settings().sharpening, "high");

    ProcessingJob job = plainJob(dir.file("album"));
    job.settings = dialog->settings();
    job.outputFolder = wxString::FromUTF8(dir.file("window"));
    std::string problem;
    const auto mark = TextMark::load(job.settings, shippedFont(), problem);
    ASSERT_TRUE(mark) << problem;
    job.textMark = mark.get();
    RecordingOwner window;
    window.run(job);
    const wxString program = wxString::FromUTF8(batchProgram()), preset = wxString::FromUTF8(dir.file("presets/web.cfg")),
                   album = wxString::FromUTF8(dir.file("album"));
    const wchar_t* const argv[] = {program.wc_str(), L"--preset", preset.wc_str(), L"-y", L"-q", album.wc_str(), nullptr};
    EXPECT_EQ(wxExecute(argv, wxEXEC_SYNC | wxEXEC_HIDE_CONSOLE), 0);
    for (const char* name : {"01-533.jpg", "02-800.jpg"}) {
        const std::string windows = readFile(dir.file("window/") + name);
        EXPECT_FALSE(windows.empty()) << name;
        EXPECT_TRUE(windows == readFile(dir.file("terminal/") + name)) << name;
    }
}
