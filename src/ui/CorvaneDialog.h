#pragma once

#include <memory>

#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/thread.h>

#include "settings/BatchSettings.h"
#include "ui/MessageBoxOwner.h"

class AboutDialog;
class SettingsDialog;
class TraceLog;
class TextMark;
class WorkingThread;
class wxButton;
class wxCheckBox;
class wxComboBox;
class wxGauge;
class wxGenericDirCtrl;
class wxSlider;
class wxStaticText;
class wxTextCtrl;
class wxTreeEvent;

// The main window: pick a folder and the operations, press OK. The batch
// runs on a WorkingThread; the dialog serves its requests on the GUI thread
// and stops it with STOP or when it is closed.
class CorvaneDialog : public wxDialog, public MessageBoxOwner {
public:
    explicit CorvaneDialog(wxWindow* parent, wxWindowID id = -1);
    ~CorvaneDialog() override;

    // Loads the watermark image from the preferences, else the default one.
    void loadWatermark();
    // Selects exactly that folder in the tree, reading the tree again when
    // it does not know the folder yet. Nothing for a path that is no folder.
    void selectFolder(const wxString& folder);
    void setControlsEnabled(bool enabled);
    // Asks a running worker to stop and waits for its end, serving its
    // requests meanwhile.
    void stopWorker();
    // Whether a worker is set (a batch runs or is ending).
    bool hasWorker();

    // The batch's requests: called by the worker, carried over to the GUI thread.
    void postNotification(const wxCommandEvent& event) override;
    void setGaugeRange(int range) override;
    void setGaugeValue(int value) override;
    void setTitle(const wxString& title) override;
    bool askYesNo(const wxString& message, const wxString& caption) override;
    void showMessage(const wxString& message, const wxString& caption) override;
    bool showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString& details,
                                 const wxString& checkBox) override;
    void workerEnded(WorkingThread* worker) override;
    void pictureDone(const PictureReport& report) override;

    void onPathEnter(wxCommandEvent& event);
    void onCharHook(wxKeyEvent& event);
    // Sets the controls from the settings (at the start, and when a preset
    // was chosen in Preferences).
    void showSettings();
    // Shows the fields the chosen fit takes.
    void showFitControls();
    void onTreeSelection(wxTreeEvent& event);
    void onQualitySlider(wxCommandEvent& event);
    void onPreferences(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    void onCloseButton(wxCommandEvent& event);
    void onOkButton(wxCommandEvent& event);
    void onBatchFinished(wxCommandEvent& event);
    void onBatchStarted(wxCommandEvent& event);
    void onCloseWindow(wxCloseEvent& event);

    wxString caption;
    wxString programDir;

    wxGenericDirCtrl* dirCtrl = nullptr;
    wxTextCtrl* pathText = nullptr;
    wxGauge* gauge = nullptr;
    wxCheckBox* resizeCheck = nullptr;
    wxCheckBox* autoRotateCheck = nullptr;
    wxCheckBox* watermarkCheck = nullptr;
    wxStaticText* maxSizeLabel = nullptr;
    wxTextCtrl* maxWidthText = nullptr;
    wxStaticText* maxHeightLabel = nullptr;
    wxTextCtrl* maxHeightText = nullptr;
    wxComboBox* fitChoice = nullptr;        // how pictures are fitted: the box, a side, a frame, megapixels
    wxTextCtrl* megapixelsText = nullptr;  // the megapixels, in the size's place
    wxCheckBox* includeSubCheck = nullptr;
    wxStaticText* qualityLabel = nullptr;
    wxSlider* qualitySlider = nullptr;
    wxStaticText* qualityValue = nullptr;
    wxButton* okButton = nullptr;
    wxButton* closeButton = nullptr;
    wxButton* preferencesButton = nullptr;
    wxButton* aboutButton = nullptr;

    std::unique_ptr<wxImage> watermarkImage;
    std::unique_ptr<TextMark> textMark;  // the batch's text watermark, while it runs
    wxImage brightWatermarkImage;        // the batch's watermark for bright ground, while it runs
    double alpha = 0.2;
    std::unique_ptr<TraceLog> mainLog;
    AboutDialog* aboutDialog = nullptr;
    SettingsDialog* settingsDialog = nullptr;

    // The settings with the main window's choices as its controls show them.
    BatchSettings chosenSettings() const;

private:
    void buildControls();
    void startBatch();
    void waitForWorker();
    // Asks the worker to stop after the picture in hand; worker_ is set.
    wxThreadError askWorkerToStop();
    void disableWatermark();
    // Why the results cannot go to the results folder; empty when they can.
    wxString resultsFolderProblem() const;
    // Tells the user once, at start-up, that the chosen watermark file is
    // missing and the default one stands in for it.
    void noticeMissingWatermark();
    // The text of a single-line control, up to its first line feed.
    static wxString firstLine(const wxTextCtrl* text);

    // The one datum both threads write: set by the GUI thread, cleared by
    // the worker's destructor.
    wxCriticalSection workerLock_;
    WorkingThread* worker_ = nullptr;
};
