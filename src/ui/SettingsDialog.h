#pragma once

#include <memory>
#include <optional>

#include <wx/dialog.h>

#include "settings/BatchSettings.h"

class PicturePreview;
class PresetControls;
struct SettingRow;

class wxButton;
class wxNotebook;
class wxFontPickerCtrl;
class wxCheckBox;
class wxComboBox;
class wxColourPickerCtrl;
class wxFileDialog;
class wxImage;
class wxRadioButton;
class wxSlider;
class wxStaticBitmap;
class wxStaticText;
class wxTextCtrl;

// The Preferences dialog: watermark opacity, position and image file, where
// results go, and a preview of a picture as the batch will write it. The
// same object holds the settings for the whole run, as public fields the
// main window reads and writes, and reads and writes prefs.cfg.
class SettingsDialog : public wxDialog, public BatchSettings {
public:
    SettingsDialog(wxWindow* parent, wxWindowID id);
    ~SettingsDialog() override;

    // Writes prefs.cfg into startupDir from the values and the placement buttons.
    void savePreferences();
    bool writeDefaultPreferences();

    // What Browse does once the user has chosen a file.
    void watermarkChosen(const wxString& path);
    // Shows the image in the preview box, shrunk into 200 x 150 if larger.
    void updatePreview(const wxImage& image);
    // What the folder button does once the user has chosen a folder.
    void resultsFolderChosen(const wxString& folder);
    // Moves the preview by step pictures (wrapping around).
    void stepPreview(int step);

    // The settings as they stand.
    const BatchSettings& settings() const { return *this; }
    BatchSettings& settings() { return *this; }

    double savedAlpha = 0.2;         // last confirmed opacity, for Cancel
    bool presetTaken = false;        // OK confirmed a preset: the main window's controls follow it
    std::string savedWaterImgFile;   // last confirmed watermark path, for Cancel
    wxString workingDir;             // folder chosen in the main window
    wxString prefsPath = wxS("./prefs.cfg");
    wxString startupDir;             // working directory at start-up
    std::string language;            // chosen for the next start; empty: the system's

    // What the preview follows from the main window: its folder (empty:
    // the neutral sample) and its choices, which this dialog's controls
    // complete.
    wxString previewFolder;
    BatchSettings previewChoices;

    wxStaticText* alphaLabel = nullptr;
    wxSlider* alphaSlider = nullptr;
    wxTextCtrl* alphaText = nullptr;
    wxStaticText* placementLabel = nullptr;
    wxRadioButton* placementButtons[9] = {};
    wxCheckBox* autoPlacementCheck = nullptr;
    wxCheckBox* autoPlaceChecks[9] = {};  // the places Automatic may choose, in the radio buttons' stead
    wxTextCtrl* brightWatermarkText = nullptr;
    wxButton* brightBrowseButton = nullptr;
    wxCheckBox* textColourAutoCheck = nullptr;
    wxStaticText* sourceLabel = nullptr;
    wxTextCtrl* waterImgPathText = nullptr;
    wxButton* browseButton = nullptr;
    wxStaticBitmap* preview = nullptr;
    wxCheckBox* skipUnreadableCheck = nullptr;
    wxTextCtrl* watermarkSizeText = nullptr;
    wxTextCtrl* watermarkMarginText = nullptr;
    wxCheckBox* textWatermarkCheck = nullptr;
    wxTextCtrl* watermarkTextText = nullptr;
    wxTextCtrl* textFontText = nullptr;
    wxColourPickerCtrl* textColourPicker = nullptr;
    wxTextCtrl* textSizeText = nullptr;
    wxTextCtrl* textOpacityText = nullptr;
    wxFontPickerCtrl* textFontPicker = nullptr;
    wxCheckBox* textShadowCheck = nullptr;
    wxCheckBox* keepExifCheck = nullptr;
    wxCheckBox* keepGpsCheck = nullptr;
    wxCheckBox* convertToSrgbCheck = nullptr;
    wxCheckBox* skipProcessedCheck = nullptr;
    wxComboBox* outputFormatChoice = nullptr;  // read-only, as the others: see oneTabStop
    wxCheckBox* progressiveCheck = nullptr;
    wxCheckBox* fullChromaCheck = nullptr;
    wxTextCtrl* maxFileSizeText = nullptr;
    wxComboBox* sharpeningChoice = nullptr;
    wxComboBox* languageChoice = nullptr;  // the system's language, then each one spoken
    wxCheckBox* saveToFolderCheck = nullptr;
    wxTextCtrl* resultsFolderText = nullptr;
    wxButton* resultsFolderButton = nullptr;
    wxTextCtrl* nameTemplateText = nullptr;  // the results' file names
    wxStaticBitmap* picturePreview = nullptr;
    wxStaticText* previewName = nullptr;
    wxStaticText* previewSize = nullptr;
    wxButton* previousButton = nullptr;
    wxButton* nextButton = nullptr;
    wxNotebook* pages = nullptr;  // the watermark's page first
    wxButton* okButton = nullptr;
    wxButton* cancelButton = nullptr;
    wxFileDialog* fileDialog = nullptr;

private:
    void loadPreferences();
    // The placement button chosen, into the settings.
    void placementFromButtons(BatchSettings& into) const;
    wxSizer* radioGrid_ = nullptr;
    wxSizer* autoGrid_ = nullptr;
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
    void onSize(wxSizeEvent& event);
    void layOutPages();
    void finish(int code);
    wxSizer* buildResultsControls(wxWindow* page);
    wxSizer* buildLanguageControls(wxWindow* page);
    void showLanguage();
    wxSizer* buildWatermarkSizeControls(wxWindow* page);
    wxSizer* buildTextMarkControls(wxWindow* page);
    wxSizer* buildBrightWatermarkControls(wxWindow* page);
    // Shows the allowed places' check boxes instead of the radio buttons
    // while Automatic is ticked.
    void showAutomaticPlaces();
    // Automatic placement as the controls say; false (and a message) when
    // no place is ticked for it.
    bool readPlacementChoice(BatchSettings& into);
    // The allowed places' names as ticked, comma-separated.
    std::string tickedPlaces() const;
    // The sharpening level's name as chosen.
    std::string chosenSharpening() const;
    // The text mark's controls as the user left them.
    void readTextMark(BatchSettings& into) const;
    // Whether the text mark as set can be drawn; says why not otherwise.
    bool textMarkAccepted(BatchSettings& into);
    wxSizer* buildOutputChecks(wxWindow* page);
    wxSizer* buildOutputControls(wxWindow* page);
    // The output controls into the settings; false (and a message) for a
    // size limit that is no whole number of 8 KB or more.
    bool readOutputControls(BatchSettings& into);
    // Shows the stored values of the options below the watermark path.
    void showOptions();
    // Reads a percentage field: empty is 0; false (and a message) when it is
    // no number from 0 to most.
    bool readPercent(const wxTextCtrl* text, const SettingRow& row, const wxString& name, double& out);
    wxSizer* buildPreviewControls();
    // Whether the results settings may be kept; says why not otherwise.
    bool resultsFolderAccepted();
    // Asks for the preview of the current controls; reread lists the
    // folder and reads its files afresh.
    void requestPreview(bool reread);
    // Shows the newest preview the preview thread made.
    void showPreviewPicture();
    // The watermark overview follows the path as it is typed.
    void followTypedWatermark();
    // A percentage field as the preview takes it: the last valid value while
    // what is typed is none, the field then marked.
    double previewPercent(wxTextCtrl* text, double most, double& lastValid);
    // The previewed picture at 100 %, in a window of its own.
    void showFullSize(const wxImage& picture, const wxString& name);

    // The opacity typed; false (and a message) when it is no number from 0 to 1.
    bool readAlpha(double& value);
    // Every control but the opacity and the watermark path into the
    // settings; false (and a message) for a value that cannot be kept.
    bool readControls(BatchSettings& into);
    // The file names' template; false (and a message) when it does not parse.
    bool nameTemplateAccepted(BatchSettings& into);
    // What a preset saved now holds: the main window's choices and these controls.
    bool readForPreset(BatchSettings& into);
    // Fills every control from the preset; Cancel goes back.
    void takePreset(const BatchSettings& preset);

    std::unique_ptr<PicturePreview> previewMaker_;
    std::unique_ptr<PresetControls> presets_;
    std::optional<BatchSettings> beforePreset_;  // the settings before a preset was taken
    bool previewShown_ = false;  // requests are made only while the dialog is up
    static constexpr int pathWidth = 300;  // the watermark path field's, at the first size
    int firstWidth_ = 0;
    int previewIndex_ = 0;
    int previewStep_ = 1;
    double lastValidSize_ = 0, lastValidMargin_ = 0, lastValidTextSize_ = 4;
    bool fullSizeWanted_ = false;  // a click asked for the picture at 100 %
};
