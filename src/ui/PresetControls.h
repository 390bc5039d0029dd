#pragma once

#include <functional>
#include <string>

#include "settings/BatchSettings.h"

class wxButton;
class wxComboBox;
class wxSizer;
class wxWindow;

// Preferences' presets: a choice of the saved presets, which fills every
// control when taken, "Save as preset…" and "Delete preset". The dialog
// gives what its controls hold (false, having said why, when they hold
// something that cannot be kept) and takes a preset's settings.
class PresetControls {
public:
    PresetControls(wxWindow* parent, std::function<bool(BatchSettings&)> readControls,
                   std::function<void(const BatchSettings&)> take);

    // The row of controls, for the dialog's sizer.
    wxSizer* row() const { return row_; }
    // Lists the presets of the folder.
    void showFolder(const std::string& folder);

    wxComboBox* choice = nullptr;
    wxButton* saveButton = nullptr;
    wxButton* deleteButton = nullptr;

private:
    void choose();
    void save();
    void remove();
    // The list again, with the named preset chosen when it is there.
    void refresh(const std::string& chosen);

    wxWindow* parent_;
    wxSizer* row_;
    std::function<bool(BatchSettings&)> readControls_;
    std::function<void(const BatchSettings&)> take_;
    std::string folder_;
};
