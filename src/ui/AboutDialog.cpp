#include "ui/AboutDialog.h"

#include <wx/button.h>
#include <wx/filefn.h>
#include <wx/msgdlg.h>
#include <wx/process.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "Version.h"
#include "platform/DefaultProgram.h"
#include "ui/RoomySize.h"

namespace {

const long ID_STATICTEXT1 = wxNewId();
const long ID_STATICTEXT2 = wxNewId();
const long ID_STATICTEXT3 = wxNewId();
const long ID_STATICTEXT4 = wxNewId();
const long ID_BUTTONHELP = wxNewId();

// Without a PDF viewer the opener fails on its own, after the click: the
// user is then told where the manual is, to open it some other way.
void tellWhereTheManualIs(const wxString& document)
{
    wxMessageBox(wxString::Format(_("The manual could not be opened: no program for PDF files was found.\n\nIt is "
                                    "here: %s"),
                                  document),
                 _("Help"), wxOK | wxCENTRE, nullptr);
}

#ifndef __WXMSW__
class ManualOpener : public wxProcess {
public:
    explicit ManualOpener(const wxString& document) : document_(document) {}

    void OnTerminate(int, int status) override
    {
        if (status != 0)
            tellWhereTheManualIs(document_);
        delete this;
    }

private:
    wxString document_;
};
#endif

}  // namespace

AboutDialog::AboutDialog(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxDialog(parent, id, wxS("Tessaly " TESSALY_VERSION " | ") + _("About"), pos, size,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL, wxS("id"))
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_SCROLLBAR));
    auto* outer = new wxBoxSizer(wxVERTICAL);

    auto* nameRow = new wxBoxSizer(wxHORIZONTAL);
    nameLabel = new wxStaticText(this, ID_STATICTEXT1, wxS("Tessaly " TESSALY_VERSION), wxDefaultPosition, wxDefaultSize, 0,
                                 wxS("ID_STATICTEXT1"));
    nameRow->Add(nameLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    outer->Add(nameRow, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);

    auto* information = new wxBoxSizer(wxVERTICAL);
    versionLabel = new wxStaticText(this, ID_STATICTEXT2, wxString::Format(_("version %s"), wxS(TESSALY_VERSION)), wxDefaultPosition, wxDefaultSize, 0,
                                    wxS("ID_STATICTEXT2"));
    information->Add(versionLabel, 1, wxALL, 5);
    webLabel = new wxStaticText(this, ID_STATICTEXT3, wxS("www.tessaly.example"), wxDefaultPosition, wxDefaultSize, 0,
                                wxS("ID_STATICTEXT3"));
    information->Add(webLabel, 1, wxALL, 5);
    creditsLabel = new wxStaticText(this, ID_STATICTEXT4, _("(c) 2026 The Tessaly developers"), wxDefaultPosition,
                                    wxDefaultSize, 0, wxS("ID_STATICTEXT4"));
    information->Add(creditsLabel, 1, wxALL, 5);
    outer->Add(information, 1, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    helpButton = new wxButton(this, ID_BUTTONHELP, _("Help"), wxDefaultPosition, wxSize(51, 23), 0,
                              wxDefaultValidator, wxS("ID_BUTTONHELP"));
    buttons->Add(helpButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    closeButton = new wxButton(this, wxID_CANCEL, _("Close"), wxDefaultPosition, wxSize(51, 23), 0,
                               wxDefaultValidator, wxS("wxID_CANCEL"));
    buttons->Add(closeButton, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    growToFit(helpButton);
    growToFit(closeButton);
    outer->Add(buttons, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);

    SetSizer(outer);
    outer->Fit(this);
    outer->SetSizeHints(this);
    Centre(wxBOTH);

    helpButton->Bind(wxEVT_BUTTON, &AboutDialog::onHelp, this);
}

void AboutDialog::onHelp(wxCommandEvent&)
{
    const wxString manual = wxString(wxFILE_SEP_PATH) + wxS("documents") + wxFILE_SEP_PATH +
                            wxS("Tessaly_" TESSALY_VERSION "_manual.pdf");
    wxString document = startupDir + manual;
    if (!wxFileExists(document))
        document = programDir + manual;
#ifdef __WXMSW__
    // The program Windows opens PDF files with. Without one, Windows would
    // show nothing or ask which program to use: the user learns where the
    // manual is instead.
    if (!hasDefaultProgramFor(".pdf") || !wxLaunchDefaultApplication(document))
        tellWhereTheManualIs(document);
#else
    // One argument, whatever blanks or quotes the path holds.
    const wxCharBuffer program("xdg-open");
    const wxCharBuffer path = document.utf8_str();
    const char* const argv[] = {program.data(), path.data(), nullptr};
    auto* opener = new ManualOpener(document);
    if (wxExecute(argv, wxEXEC_ASYNC, opener) == 0) {
        delete opener;
        tellWhereTheManualIs(document);
    }
#endif
}
