#pragma once

#include <wx/dialog.h>

class wxButton;
class wxStaticText;

// Product name, version, web address and credits, with Help (the manual)
// and Close.
class AboutDialog : public wxDialog {
public:
    AboutDialog(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // The manual is looked up below startupDir, then below programDir (where
    // an installed program keeps it); both set by the owner.
    wxString startupDir;
    wxString programDir;

    wxButton* closeButton = nullptr;
    wxStaticText* versionLabel = nullptr;
    wxStaticText* webLabel = nullptr;
    wxButton* helpButton = nullptr;
    wxStaticText* nameLabel = nullptr;
    wxStaticText* creditsLabel = nullptr;

    // Opens the manual with the desktop's opener, without waiting for it.
    void onHelp(wxCommandEvent& event);
};
