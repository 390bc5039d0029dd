#pragma once

#include <wx/dialog.h>

#include "prefs/PreferenceValues.h"

class wxButton;
class wxCheckBox;
class wxFileDialog;
class wxImage;
class wxRadioButton;
class wxSlider;
class wxStaticBitmap;
class wxStaticText;
class wxTextCtrl;

// The Preferences dialog: watermark opacity, position and image file. The
// same object holds every preference value for the whole run and reads and
// writes prefs.cfg.
class SettingsDialog : public wxDialog, public PreferenceValues {
public:
    SettingsDialog(wxWindow* parent, wxWindowID id);

    // Writes prefs.cfg into startupDir from the values and the placement buttons.
    void savePreferences();
    bool writeDefaultPreferences();

    // What Browse does once the user has chosen a file.
    void watermarkChosen(const wxString& path);
    // Shows the image in the preview box, shrunk into 200 x 150 if larger.
    void updatePreview(const wxImage& image);

    wxStaticText* alphaLabel = nullptr;
    wxSlider* alphaSlider = nullptr;
    wxTextCtrl* alphaText = nullptr;
    wxStaticText* placementLabel = nullptr;
    wxRadioButton* placementButtons[9] = {};
    wxStaticText* sourceLabel = nullptr;
    wxTextCtrl* waterImgPathText = nullptr;
    wxButton* browseButton = nullptr;
    wxStaticBitmap* preview = nullptr;
    wxCheckBox* skipUnreadableCheck = nullptr;
    wxButton* okButton = nullptr;
    wxButton* cancelButton = nullptr;
    wxFileDialog* fileDialog = nullptr;

private:
    void loadPreferences();
    void placementFromButtons();
    // Selects the placement button; false (and a message) when out of 1..9.
    bool selectPlacementButton();
    void showAlpha();
    void setAlphaControlsEnabled(bool enabled);
    // Loads the file named in the path box; false (and the missing-file
    // message) when there is no such file.
    bool loadShownWatermark(wxImage& image);
    void showPreview(const wxImage& image);

    void onAlphaSlider(wxCommandEvent& event);
    void onBrowse(wxCommandEvent& event);
    void onOk(wxCommandEvent& event);
    void onCancel(wxCommandEvent& event);
    void onInitDialog(wxInitDialogEvent& event);
    void finish(int code);
};
