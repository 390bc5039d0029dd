#include "text/UserLanguage.h"

#include <wx/translation.h>
#include <wx/utils.h>

const std::vector<SpokenLanguage>& spokenLanguages()
{
    static const std::vector<SpokenLanguage> languages = {
        {"en", "English"}, {"de", "Deutsch"}, {"es", "Espa\u00f1ol"}, {"fr", "Fran\u00e7ais"}, {"it", "Italiano"}};
    return languages;
}

bool speaksLanguage(const std::string& code)
{
    if (code.empty())
        return true;
    for (const SpokenLanguage& language : spokenLanguages())
        if (code == language.code)
            return true;
    return false;
}

void useLanguage(const std::string& chosen, const std::string& programDir, bool withToolkit)
{
    // bin/tessaly-batch and lib/tessaly/tessaly when installed.
    for (const char* below : {"/locale", "/../share/locale", "/../../share/locale"})
        wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(programDir + below));
    auto* translations = new wxTranslations;
    if (!chosen.empty())
        translations->SetLanguage(wxString::FromUTF8(chosen));
    wxTranslations::Set(translations);
    if (withToolkit) {
        translations->AddStdCatalog();
        // GTK's own words (the stock buttons, the file chooser) follow a
        // language chosen over the system's, as gettext reads this each time.
        if (!chosen.empty())
            wxSetEnv(wxS("LANGUAGE"), wxString::FromUTF8(chosen));
    }
    translations->AddCatalog(wxS("tessaly"));
}
