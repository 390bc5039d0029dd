#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <wx/notebook.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "settings/PreferencesFile.h"
#include "text/UserLanguage.h"
#include "ui/CorvaneDialog.h"
#include "ui/GuiTest.h"
#include "ui/SettingsDialog.h"

namespace {

class LanguageTest : public GuiTest {
protected:
    std::unique_ptr<CorvaneDialog> dialog;

    // A language chosen is GTK's too, through the environment, which the
    // later tests' programs must not inherit.
    wxString languageBefore;
    bool languageWasSet = wxGetEnv(wxS("LANGUAGE"), &languageBefore);

    void TearDown() override
    {
        dialog.reset();
        wxTranslations::Set(nullptr);
        if (languageWasSet)
            wxSetEnv(wxS("LANGUAGE"), languageBefore);
        else
            wxUnsetEnv(wxS("LANGUAGE"));
        GuiTest::TearDown();
    }

    // The window as it starts in the language; the build keeps the
    // catalogs beside the programs, one folder above the tests.
    CorvaneDialog& createIn(const std::string& language)
    {
        useLanguage(language, programDirectory().utf8_string() + "/..", true);
        dialog = std::make_unique<CorvaneDialog>(nullptr);
        return *dialog;
    }

    wxString label(const char* name) const { return wxWindow::FindWindowByName(name, dialog.get())->GetLabel(); }
};

bool labelled(const wxWindow* window)
{
    return dynamic_cast<const wxStaticText*>(window) || dynamic_cast<const wxCheckBox*>(window) ||
           dynamic_cast<const wxButton*>(window) || dynamic_cast<const wxRadioButton*>(window) ||
           dynamic_cast<const wxComboBox*>(window);
}

// Every labelled control shown at least its best size, inside its parent,
// and none over another of the same parent. A text that shortens itself
// with an ellipsis is meant to.
void expectRoomForEveryLabel(const wxWindow* parent)
{
    std::vector<const wxWindow*> shown;
    for (const wxWindow* child : parent->GetChildren())
        if (child->IsShown() && !child->IsTopLevel())
            shown.push_back(child);
    for (const wxWindow* child : shown) {
        SCOPED_TRACE(child->GetName() + ": " + child->GetLabel());
        const wxRect rect = child->GetRect();
        const bool shortens = child->HasFlag(wxST_ELLIPSIZE_MIDDLE | wxST_ELLIPSIZE_END | wxST_ELLIPSIZE_START);
        if (labelled(child) && !shortens) {
            EXPECT_GE(rect.width, child->GetBestSize().x);
            EXPECT_GE(rect.height, child->GetBestSize().y);
        }
        EXPECT_TRUE(wxRect(parent->GetClientSize()).Contains(rect));
        for (const wxWindow* other : shown) {
            if (other != child && labelled(other) && labelled(child)) {
                EXPECT_FALSE(rect.Intersects(other->GetRect())) << other->GetName() << ": " << other->GetLabel();
            }
        }
        expectRoomForEveryLabel(child);
    }
}

TEST_F(LanguageTest, TheWindowSpeaksEachLanguage)
{
    static const struct {
        const char* code;
        const char* resize;
        const char* preferences;
        const char* firstStart;
        const char* home;  // the folder tree's, from the toolkit's own catalog
    } languages[] = {
        {"de", "Verkleinern", "Einstellungen", "Standardkonfiguration wird erzeugt...", "Benutzerverzeichnis"},
        {"es", "Redimensionar", "Preferencias", "Generando la configuración predeterminada...", "Directorio de usuario"},
        {"fr", "Redimensionner", "Préférences", "Création de la configuration par défaut...", "Dossier personnel"},
        {"it", "Ridimensiona", "Preferenze", "Creazione della configurazione predefinita...", "Cartella home"},
        {"en", "Resize", "Preferences", "Generating default config...", "Home directory"},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        std::remove("prefs.cfg");
        recorder.messages.clear();
        createIn(language.code);
        EXPECT_EQ(label("ID_CHECKBOXRESIZE"), wxString::FromUTF8(language.resize));
        EXPECT_EQ(label("ID_BUTTONSETTINGS"), wxString::FromUTF8(language.preferences));
        EXPECT_EQ(dialog->settingsDialog->GetTitle(), wxString::FromUTF8(std::string("Tessaly 1.1 | ") + language.preferences));
        ASSERT_FALSE(recorder.messages.empty());
        EXPECT_NE(recorder.messages[0].find(language.firstStart), std::string::npos) << recorder.messages[0];
        EXPECT_EQ(wxGetTranslation(wxS("Home directory")), wxString::FromUTF8(language.home));
        dialog.reset();
    }
}

// Preferences at their natural size fit a 1366 x 768 laptop, less a task
// bar, in every language: every page of them.
TEST_F(LanguageTest, PreferencesFitALaptopInEveryLanguage)
{
    for (const char* code : {"de", "es", "fr", "it", "en"}) {
        SCOPED_TRACE(code);
        std::remove("prefs.cfg");
        CorvaneDialog& window = createIn(code);
        const wxSize size = window.settingsDialog->GetSize();
        EXPECT_LE(size.x, 1366);
        EXPECT_LE(size.y, 768 - 48);
        for (std::size_t i = 0; i < window.settingsDialog->pages->GetPageCount(); ++i) {
            const wxWindow* page = window.settingsDialog->pages->GetPage(i);
            EXPECT_LE(page->GetBestSize().y, window.settingsDialog->pages->GetSize().y) << page->GetName();
        }
        dialog.reset();
    }
}

TEST_F(LanguageTest, GermanLabelsHaveRoom)
{
    CorvaneDialog& window = createIn("de");
    expectRoomForEveryLabel(&window);
    expectRoomForEveryLabel(window.settingsDialog);
}

TEST_F(LanguageTest, TheChosenLanguageIsSavedOnlyWhenChosen)
{
    CorvaneDialog& window = createIn("");
    SettingsDialog& settings = *window.settingsDialog;
    auto* choice = static_cast<wxComboBox*>(wxWindow::FindWindowByName("ID_CHOICELANGUAGE", &settings));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->GetSelection(), 0) << "the system's language";
    const std::string untouched = savedPreferencesText(settings.settings(), "/");
    EXPECT_EQ(savedPreferencesText(settings.settings(), "/", settings.language), untouched);
    choice->SetStringSelection(wxString::FromUTF8("Espa\u00f1ol"));
    click(settings.okButton);
    EXPECT_EQ(settings.language, "es");
    EXPECT_EQ(savedPreferencesText(settings.settings(), "/", settings.language), untouched + "Language = es\n");
}

}  // namespace
