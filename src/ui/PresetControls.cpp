#include "ui/PresetControls.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>
#include <wx/translation.h>

#include "batch/SettingLines.h"
#include "settings/PresetFile.h"
#include "text/Translated.h"
#include "ui/AccessibleName.h"
#include "ui/TranslatedButtons.h"

namespace {

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

}  // namespace

PresetControls::PresetControls(wxWindow* parent, std::function<bool(BatchSettings&)> readControls,
                               std::function<void(const BatchSettings&)> take)
    : parent_(parent), row_(new wxBoxSizer(wxHORIZONTAL)), readControls_(std::move(readControls)),
      take_(std::move(take))
{
    row_->Add(new wxStaticText(parent, wxID_ANY, _("Preset")), 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    choice = new wxComboBox(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(140, -1), 0, nullptr,
                            wxCB_READONLY, wxDefaultValidator,
                          wxS("ID_CHOICEPRESET"));
    choice->SetToolTip(_("Take every setting from a saved preset."));
    setAccessibleName(choice, _("Preset"));
    row_->Add(choice, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    saveButton = new wxButton(parent, wxID_ANY, _("Save as preset") + wxString::FromUTF8("\u2026"), wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, wxS("ID_BUTTONSAVEPRESET"));
    saveButton->SetToolTip(_("Keep every setting as it stands under a name, for the window and tessaly-batch."));
    row_->Add(saveButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    deleteButton = new wxButton(parent, wxID_ANY, _("Delete preset"), wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, wxS("ID_BUTTONDELETEPRESET"));
    row_->Add(deleteButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    oneTabStop(choice);
    choice->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { choose(); });
    saveButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { save(); });
    deleteButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { remove(); });
}

void PresetControls::showFolder(const std::string& folder)
{
    folder_ = folder;
    refresh({});
}

void PresetControls::refresh(const std::string& chosen)
{
    choice->Clear();
    for (const std::string& name : presetNames(folder_)) {
        choice->Append(wxString::FromUTF8(name));
        if (name == chosen)
            choice->SetSelection(static_cast<int>(choice->GetCount()) - 1);
    }
    deleteButton->Enable(choice->GetSelection() != wxNOT_FOUND);
    // As wide as its longest name, so that none is cut.
    choice->InvalidateBestSize();
    choice->SetMinSize(wxSize(std::max(140, choice->GetBestSize().x), -1));
    parent_->Layout();
}

void PresetControls::choose()
{
    deleteButton->Enable(choice->GetSelection() != wxNOT_FOUND);
    if (choice->GetSelection() == wxNOT_FOUND)
        return;
    const std::string path = presetPath(folder_, utf8(choice->GetStringSelection()));
    // A preset changes what it names; the rest stays as the controls hold it.
    BatchSettings preset;
    std::vector<std::string> warnings;
    std::string error;
    if (!readControls_(preset)) {
        refresh({});
        return;
    }
    if (!takePreset(path, preset, warnings, error)) {
        wxMessageBox(wxString::FromUTF8(error), _("Preset"), wxOK | wxCENTRE, parent_);
        refresh({});
        return;
    }
    if (!warnings.empty()) {
        std::string all;
        for (const std::string& warning : warnings)
            all += warning + "\n";
        wxMessageBox(wxString::FromUTF8(all), _("Preset"), wxOK | wxCENTRE, parent_);
    }
    take_(preset);
}

void PresetControls::save()
{
    BatchSettings settings;
    if (!readControls_(settings))
        return;
    wxTextEntryDialog ask(parent_, _("Name of the preset:"), _("Save as preset"), choice->GetStringSelection());
    if (ask.ShowModal() != wxID_OK)
        return;
    const std::string name = utf8(ask.GetValue().Strip(wxString::both));
    if (!presetNameFits(name)) {
        wxMessageBox(_("A preset's name cannot be empty, start with a dot or hold any of \\ / : * ? \" < > |."),
                     _("Save as preset"), wxOK | wxCENTRE, parent_);
        return;
    }
    const std::vector<std::string> names = presetNames(folder_);
    if (std::find(names.begin(), names.end(), name) != names.end() &&
        !askedYes(parent_, wxString::Format(_("There is a preset %s already. Replace it?"), wxString::FromUTF8(name)),
                  _("Save as preset")))
        return;
    std::string error;
    if (!writePreset(folder_, name, settings, error))
        wxMessageBox(wxString::FromUTF8(error), _("Save as preset"), wxOK | wxCENTRE, parent_);
    refresh(name);
}

void PresetControls::remove()
{
    const wxString name = choice->GetStringSelection();
    if (name.empty() || !askedYes(parent_, wxString::Format(_("Delete the preset %s?"), name), _("Delete preset")))
        return;
    std::string error;
    if (!deletePreset(folder_, utf8(name), error))
        wxMessageBox(wxString::FromUTF8(error), _("Delete preset"), wxOK | wxCENTRE, parent_);
    refresh({});
}
