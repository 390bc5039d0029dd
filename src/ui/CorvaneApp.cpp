#include "ui/CorvaneApp.h"

#include <cstdio>

#include <wx/filefn.h>
#include <wx/image.h>

#include "platform/SettingsFolder.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"
#include "text/UserLanguage.h"
#include "ui/CorvaneDialog.h"

bool CorvaneApp::ranDialog = false;

bool CorvaneApp::OnInit()
{
    wxInitAllImageHandlers();
    // "tessaly FOLDER", as the file manager's "Open with" starts it: named
    // from where it was started, before the settings folder is entered.
    wxString chosen = argc > 1 ? argv[1] : wxString();
    // One prefs.cfg however the window was started.
    const std::string settings = settingsFolder();
    if (!settings.empty()) {
        if (!chosen.empty() && !wxIsAbsolutePath(chosen))
            chosen = wxGetCwd() + wxFILE_SEP_PATH + chosen;
        std::string why;
        if (!enterFolder(settings, why))
            std::fprintf(stderr, "tessaly: %s: %s; the settings stay in the folder it started in\n",
                         settings.c_str(), why.c_str());
    }
    // Before the first text is made: the language prefs.cfg chose, or the system's.
    std::string language;
    try {
        language = languageIn(ConfigFile("prefs.cfg", "=", "#", "EndConfigFile"));
    } catch (const ConfigFile::file_not_found&) {
        // A first start: the system's language.
    }
    useLanguage(language, programDirectory().utf8_string(), true);
    {
        CorvaneDialog dialog(nullptr);
        if (argc > 1) {
            if (wxDirExists(chosen))
                dialog.selectFolder(chosen);
            else
                std::fprintf(stderr, "tessaly: %s: no such folder\n", static_cast<const char*>(argv[1].utf8_str()));
        }
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    ranDialog = true;
    return false;
}
