#include "ui/CorvaneDialog.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dirctrl.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/richmsgdlg.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/utils.h>
#include <wx/valtext.h>
#include <wx/weakref.h>

#include "batch/PicturePlan.h"
#include "pixel/ResultSize.h"
#include "batch/TextMark.h"
#include "Version.h"
#include "batch/BatchEvents.h"
#include "batch/PictureReport.h"
#include "batch/ProcessingJob.h"
#include "batch/WorkingThread.h"
#include "diag/TraceLog.h"
#include "platform/PathNames.h"
#include "settings/LeadingInteger.h"
#include "settings/PreferencesFile.h"
#include "ui/AboutDialog.h"
#include "ui/AccessibleName.h"
#include "ui/FolderDropTarget.h"
#include "ui/GuiThreadCall.h"
#include "ui/RoomySize.h"
#include "ui/SettingsDialog.h"
#include "ui/TranslatedButtons.h"

namespace {

const long ID_GENERICDIRCTRL1 = wxNewId();
const long ID_TEXTCTRLCURRENTPATH = wxNewId();
const long ID_GAUGE = wxNewId();
const long ID_CHECKBOXRESIZE = wxNewId();
const long ID_CHECKBOXAUTOROTATE = wxNewId();
const long ID_CHECKBOX1 = wxNewId();
const long ID_STATICTEXT1 = wxNewId();
const long ID_TEXTCTRLX = wxNewId();
const long ID_STATICTEXT2 = wxNewId();
const long ID_TEXTCTRLY = wxNewId();
const long ID_CHECKBOXINCLUDESUB = wxNewId();
const long ID_STATICTEXT5 = wxNewId();
const long ID_SLIDERQUALITY = wxNewId();
const long ID_STATICTEXTQUALITYVALUE = wxNewId();
const long ID_BUTTONSETTINGS = wxNewId();
const long ID_BUTTONABOUT = wxNewId();

constexpr int centred = wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL;

// The fit choice's items, as the settings name them.
const wxString fitModes[] = {wxS("box"),   wxS("long"), wxS("short"), wxS("width"), wxS("height"),
                             wxS("frame"), wxS("mp"),   wxS("cover"), wxS("contain")};

void setTip(wxWindow* window, const wxString& tip)
{
    window->SetToolTip(tip);
    window->SetHelpText(tip);
}

int toInt(const wxString& text)
{
    return leadingInteger(std::string(text.utf8_str()));
}

// The program's own watermark, below its folder.
wxString defaultWatermark(const wxString& programDir)
{
    return programDir + wxFILE_SEP_PATH + wxS("data") + wxFILE_SEP_PATH + wxS("wm.png");
}

}  // namespace

CorvaneDialog::CorvaneDialog(wxWindow* parent, wxWindowID id)
    : wxDialog(parent, id, wxS("Tessaly " TESSALY_VERSION), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX, wxS("wxID_ANY"))
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_SCROLLBAR));
#ifdef __WXMSW__
    // The program's icon, all its sizes, for the title bar and the task bar
    // (the desktop entry gives it on Linux). A program without it says
    // nothing about it.
    {
        wxLogNull noIcon;
        const wxIconBundle icons(wxS("#1"), nullptr);
        if (!icons.IsEmpty())
            SetIcons(icons);
    }
#endif
    buildControls();

    okButton->Bind(wxEVT_BUTTON, &CorvaneDialog::onOkButton, this);
    closeButton->Bind(wxEVT_BUTTON, &CorvaneDialog::onCloseButton, this);
    preferencesButton->Bind(wxEVT_BUTTON, &CorvaneDialog::onPreferences, this);
    aboutButton->Bind(wxEVT_BUTTON, &CorvaneDialog::onAbout, this);
    pathText->Bind(wxEVT_TEXT_ENTER, &CorvaneDialog::onPathEnter, this);
    Bind(wxEVT_CHAR_HOOK, &CorvaneDialog::onCharHook, this);
    qualitySlider->Bind(wxEVT_SLIDER, &CorvaneDialog::onQualitySlider, this);
    Bind(wxEVT_CLOSE_WINDOW, &CorvaneDialog::onCloseWindow, this);
    // With the Close button disabled, the toolkit would turn Escape into a
    // click on OK and start a batch; Escape does nothing here instead.
    SetEscapeId(wxID_NONE);

    watermarkImage = std::make_unique<wxImage>();
    caption = wxS("Tessaly " TESSALY_VERSION);
    SetTitle(caption);
    programDir = programDirectory();

    aboutDialog = new AboutDialog(this, -1);
    aboutDialog->startupDir = wxGetCwd();
    aboutDialog->programDir = programDir;
    settingsDialog = new SettingsDialog(this, -1);
    settingsDialog->startupDir = wxGetCwd();

    alpha = 0.2;
    alpha = settingsDialog->alpha;
    dirCtrl->SetDefaultPath(wxGetCwd());
    dirCtrl->SetPath(settingsDialog->workingDir);
    wxSetWorkingDirectory(settingsDialog->startupDir);
    pathText->SetValue(settingsDialog->workingDir);
    showSettings();

    dirCtrl->GetTreeCtrl()->Bind(wxEVT_TREE_SEL_CHANGED, &CorvaneDialog::onTreeSelection, this);
    SetDropTarget(new FolderDropTarget([this](const wxString& folder) { selectFolder(folder); }));
    noticeMissingWatermark();
    loadWatermark();
    mainLog = std::make_unique<TraceLog>("Main.log", false);
    // Keys need a control to go to: the folder tree, first in the window.
    dirCtrl->GetTreeCtrl()->SetFocus();
}

void CorvaneDialog::showSettings()
{
    resizeCheck->SetValue(settingsDialog->resize);
    watermarkCheck->SetValue(settingsDialog->useWatermark);
    autoRotateCheck->SetValue(settingsDialog->rotate);
    maxWidthText->SetValue(wxString::Format(wxS("%i"), settingsDialog->width));
    maxHeightText->SetValue(wxString::Format(wxS("%i"), settingsDialog->height));
    qualityValue->SetLabel(wxString::Format(wxS("%i"), settingsDialog->quality));
    qualitySlider->SetValue(settingsDialog->quality);
    includeSubCheck->SetValue(settingsDialog->includeSubdirectories);
    int fit = 0;
    for (std::size_t i = 0; i < std::size(fitModes); ++i)
        if (settingsDialog->fitMode == fitModes[i])
            fit = static_cast<int>(i);
    fitChoice->SetSelection(fit);
    megapixelsText->ChangeValue(wxString::FromCDouble(settingsDialog->fitMegapixels));
    showFitControls();
}

void CorvaneDialog::showFitControls()
{
    const wxString mode = fitModes[std::max(fitChoice->GetSelection(), 0)];
    // A frame has a height of its own; megapixels take the size's place.
    const bool framed = mode == wxS("frame") || mode == wxS("cover") || mode == wxS("contain");
    maxHeightLabel->Show(framed);
    maxHeightText->Show(framed);
    maxWidthText->Show(mode != wxS("mp"));
    megapixelsText->Show(mode == wxS("mp"));
    // The label names what the field beside it holds: the size, a frame's
    // width, or megapixels.
    maxSizeLabel->SetLabel(mode == wxS("mp")      ? _("Megapixels")
                           : framed               ? _("Max width [px]")
                           : mode == wxS("height") ? _("Max height [px]")
                                                  : _("Max size [px]"));
    GetSizer()->SetSizeHints(this);
    Layout();
}

void CorvaneDialog::buildControls()
{
    auto* outer = new wxBoxSizer(wxHORIZONTAL);
    auto* main = new wxBoxSizer(wxVERTICAL);

    dirCtrl = new wxGenericDirCtrl(this, ID_GENERICDIRCTRL1, wxEmptyString, wxDefaultPosition, wxSize(300, 247),
                                   wxDIRCTRL_DIR_ONLY | wxDIRCTRL_EDIT_LABELS, wxEmptyString, 0,
                                   wxS("ID_GENERICDIRCTRL1"));
    setTip(dirCtrl, _("Navigate to the folder you want to process."));
    main->Add(dirCtrl, 1, wxALL | centred, 5);
    pathText = new wxTextCtrl(this, ID_TEXTCTRLCURRENTPATH, _("Current path"), wxDefaultPosition, wxSize(300, -1),
                              wxTE_PROCESS_ENTER, wxDefaultValidator, wxS("ID_TEXTCTRLCURRENTPATH"));
    setTip(pathText, _("Path to the directory about to process."));
    main->Add(pathText, 0, wxALL | centred, 5);
    gauge = new wxGauge(this, ID_GAUGE, 100, wxDefaultPosition, wxSize(300, 28), wxGA_HORIZONTAL,
                        wxDefaultValidator, wxS("ID_GAUGE"));
    setTip(gauge, _("Progress bar."));
    main->Add(gauge, 0, wxALL | centred, 5);

    auto* options = new wxBoxSizer(wxHORIZONTAL);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    resizeCheck = new wxCheckBox(this, ID_CHECKBOXRESIZE, _("Resize"), wxDefaultPosition, wxDefaultSize, 0,
                                 wxDefaultValidator, wxS("ID_CHECKBOXRESIZE"));
    resizeCheck->SetValue(true);
    setTip(resizeCheck, _("Check if you want to resize pictures."));
    checks->Add(resizeCheck, 0, wxALL, 5);
    autoRotateCheck = new wxCheckBox(this, ID_CHECKBOXAUTOROTATE, _("Auto - rotate"), wxDefaultPosition,
                                     wxDefaultSize, 0, wxDefaultValidator, wxS("ID_CHECKBOXAUTOROTATE"));
    setTip(autoRotateCheck, _("Check if you want to auto rotate pictures according to EXIF info."));
    checks->Add(autoRotateCheck, 0, wxALL, 5);
    watermarkCheck = new wxCheckBox(this, ID_CHECKBOX1, _("Use watermark"), wxDefaultPosition, wxDefaultSize, 0,
                                    wxDefaultValidator, wxS("ID_CHECKBOX1"));
    watermarkCheck->SetValue(true);
    setTip(watermarkCheck, _("Check if you want to add watermark to the pictures."));
    checks->Add(watermarkCheck, 0, wxALL, 5);
    options->Add(checks, 0, wxALL | centred, 5);

    auto* right = new wxBoxSizer(wxVERTICAL);
    auto* settings = new wxBoxSizer(wxVERTICAL);
    auto* sizeRow = new wxBoxSizer(wxHORIZONTAL);
    maxSizeLabel = new wxStaticText(this, ID_STATICTEXT1, _("Max size [px]"), wxDefaultPosition, wxDefaultSize, 0,
                                    wxS("ID_STATICTEXT1"));
    sizeRow->Add(maxSizeLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    // Digits only: "1,600" would otherwise be read as 1.
    const wxTextValidator digitsOnly(wxFILTER_DIGITS);
    maxWidthText = new wxTextCtrl(this, ID_TEXTCTRLX, wxS("800"), wxDefaultPosition, wxDefaultSize, 0,
                                  digitsOnly, wxS("ID_TEXTCTRLX"));
    maxWidthText->SetMinSize(wxSize(35, -1));
    growToFitText(maxWidthText, wxS("00000"));
    setTip(maxWidthText, _("Max width of picture after resizing."));
    sizeRow->Add(maxWidthText, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
    megapixelsText = new wxTextCtrl(this, wxID_ANY, wxS("2"), wxDefaultPosition, wxDefaultSize, 0,
                                    wxTextValidator(wxFILTER_NUMERIC), wxS("ID_TEXTCTRLMEGAPIXELS"));
    growToFitText(megapixelsText, wxS("000.00"));
    setTip(megapixelsText, _("The most megapixels a result has."));
    megapixelsText->Hide();
    sizeRow->Add(megapixelsText, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
    const wxString fitLabels[] = {_("Box"),
                                  _("Long side"),
                                  _("Short side"),
                                  _("Width"),
                                  _("Height"),
                                  wxString::Format(_("Width %s height"), wxString::FromUTF8("\u00d7")),
                                  _("Megapixels"),
                                  _("Fill the frame, cropped"),
                                  _("Fit in the frame, with a border")};
    // A read-only combo box rather than a choice: GTK shows a screen reader
    // where the focus is in its text, never in a choice's button.
    fitChoice = new wxComboBox(this, wxID_ANY, fitLabels[0], wxDefaultPosition, wxDefaultSize, std::size(fitLabels),
                               fitLabels, wxCB_READONLY, wxDefaultValidator, wxS("ID_CHOICEFIT"));
    fitChoice->SetSelection(0);
    setTip(fitChoice, _("How pictures are shrunk: into the square box, by their long or short side, to a width or "
                        "a height, into width x height, to a number of megapixels, or to fill a width x height "
                        "frame (cropped where the picture's detail is least) or fit in it with a white border. "
                        "Never enlarged."));
    sizeRow->Add(fitChoice, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
    fitChoice->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { showFitControls(); });
    settings->Add(sizeRow, 0, 0, 5);

    auto* heightRow = new wxBoxSizer(wxHORIZONTAL);
    maxHeightLabel = new wxStaticText(this, ID_STATICTEXT2, _("Max height [px]"), wxDefaultPosition, wxDefaultSize,
                                      0, wxS("ID_STATICTEXT2"));
    maxHeightLabel->Hide();
    heightRow->Add(maxHeightLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    maxHeightText = new wxTextCtrl(this, ID_TEXTCTRLY, wxS("800"), wxDefaultPosition, wxSize(35, -1), 0,
                                   digitsOnly, wxS("ID_TEXTCTRLY"));
    // As wide as the width's: "800" whole in every language's font.
    growToFitText(maxHeightText, wxS("00000"));
    maxHeightText->Hide();
    setTip(maxHeightText, _("Max height of picture after resizing."));
    heightRow->Add(maxHeightText, 0, wxALIGN_CENTER_VERTICAL, 5);
    settings->Add(heightRow, 0, 0, 5);

    auto* subfolderRow = new wxBoxSizer(wxHORIZONTAL);
    includeSubCheck = new wxCheckBox(this, ID_CHECKBOXINCLUDESUB, _("Include subfolders"), wxDefaultPosition,
                                     wxDefaultSize, 0, wxDefaultValidator, wxS("ID_CHECKBOXINCLUDESUB"));
    subfolderRow->Add(includeSubCheck, 0, wxALIGN_CENTER_VERTICAL, 5);
    settings->Add(subfolderRow, 0, wxALL, 5);

    auto* qualityRow = new wxBoxSizer(wxHORIZONTAL);
    qualityLabel = new wxStaticText(this, ID_STATICTEXT5, _("Quality [%]"), wxDefaultPosition, wxDefaultSize, 0,
                                    wxS("ID_STATICTEXT5"));
    qualityRow->Add(qualityLabel, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 5);
    qualitySlider = new wxSlider(this, ID_SLIDERQUALITY, 82, 0, 100, wxDefaultPosition, wxDefaultSize,
                                 wxSL_HORIZONTAL, wxDefaultValidator, wxS("ID_SLIDERQUALITY"));
    qualityRow->Add(qualitySlider, 0, wxALIGN_CENTER_VERTICAL, 5);
    qualityValue = new wxStaticText(this, ID_STATICTEXTQUALITYVALUE, wxS("82"), wxDefaultPosition, wxDefaultSize, 0,
                                    wxS("ID_STATICTEXTQUALITYVALUE"));
    qualityRow->Add(qualityValue, 0, wxALIGN_CENTER_VERTICAL, 5);
    settings->Add(qualityRow, 0, wxALIGN_CENTER_HORIZONTAL, 5);
    right->Add(settings, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    options->Add(right, 0, wxALL | centred, 5);
    main->Add(options, 0, wxALL | centred, 0);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(51, 23), 0, wxDefaultValidator,
                            wxS("wxID_OK"));
    setTip(okButton, _("Press 'OK' to process all pictures in the selected directory."));
    buttons->Add(okButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    closeButton = new wxButton(this, wxID_CANCEL, _("Close"), wxDefaultPosition, wxSize(51, 23), 0,
                               wxDefaultValidator, wxS("wxID_CANCEL"));
    closeButton->Disable();
    closeButton->Hide();
    buttons->Add(closeButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    preferencesButton = new wxButton(this, ID_BUTTONSETTINGS, _("Preferences"), wxDefaultPosition, wxSize(70, 23),
                                     0, wxDefaultValidator, wxS("ID_BUTTONSETTINGS"));
    setTip(preferencesButton, _("Press to open Preferences dialog."));
    buttons->Add(preferencesButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    aboutButton = new wxButton(this, ID_BUTTONABOUT, _("About"), wxDefaultPosition, wxSize(51, 23), 0,
                               wxDefaultValidator, wxS("ID_BUTTONABOUT"));
    setTip(aboutButton, _("Press to show About dialog and get help."));
    buttons->Add(aboutButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    main->Add(buttons, 0, wxALL | centred, 5);

    for (wxWindow* button : {okButton, closeButton, preferencesButton, aboutButton})
        growToFit(button);
    okButton->SetDefault();

    // What a screen reader says for the controls that show no label of their own.
    setAccessibleName(dirCtrl, _("Folders"));
    setAccessibleName(pathText, _("Folder to process"));
    setAccessibleName(gauge, _("Progress"));
    setAccessibleName(maxWidthText, maxSizeLabel->GetLabel());
    setAccessibleName(maxHeightText, maxHeightLabel->GetLabel());
    setAccessibleName(fitChoice, _("Fit"));
    oneTabStop(fitChoice);
    setAccessibleName(megapixelsText, _("Megapixels"));
    setAccessibleName(qualitySlider, qualityLabel->GetLabel());

    outer->Add(main, 0, centred, 4);
    SetSizer(outer);
    outer->Fit(this);
    outer->SetSizeHints(this);
    Centre(wxBOTH);
}

CorvaneDialog::~CorvaneDialog()
{
    // The worker reads the watermark: it must be gone before the image is.
    stopWorker();
    mainLog.reset();
    watermarkImage.reset();
}

BatchSettings CorvaneDialog::chosenSettings() const
{
    BatchSettings chosen = settingsDialog->settings();
    chosen.resize = resizeCheck->GetValue();
    chosen.useWatermark = watermarkCheck->GetValue();
    chosen.rotate = autoRotateCheck->GetValue();
    chosen.width = toInt(firstLine(maxWidthText));
    chosen.height = toInt(firstLine(maxHeightText));
    chosen.fitMode = fitModes[std::max(fitChoice->GetSelection(), 0)];
    double megapixels = 0;
    if (megapixelsFromText(std::string(megapixelsText->GetValue().Strip(wxString::both).utf8_str()), megapixels))
        chosen.fitMegapixels = megapixels;
    chosen.alpha = alpha;
    chosen.quality = toInt(qualityValue->GetLabel());
    chosen.includeSubdirectories = includeSubCheck->GetValue();
    return chosen;
}

void CorvaneDialog::disableWatermark()
{
    watermarkCheck->SetValue(false);
    watermarkCheck->Disable();
}

void CorvaneDialog::loadWatermark()
{
    // Failures here are told by the check box alone, not by the toolkit's log.
    wxLogNull noToolkitMessages;
    const wxString configured = wxString::FromUTF8(settingsDialog->waterImgFile);
    const wxString fallback = defaultWatermark(programDir);
    if (wxFileExists(configured)) {
        wxImage loaded;
        if (loaded.LoadFile(configured, wxBITMAP_TYPE_ANY, 0)) {
            if (loaded.HasMask())
                loaded.InitAlpha();
            *watermarkImage = loaded;
        } else {
            disableWatermark();
        }
        settingsDialog->waterImgPathText->SetValue(configured);
    } else if (wxFileExists(fallback)) {
        wxImage loaded;
        if (loaded.LoadFile(fallback, wxBITMAP_TYPE_PNG, 0))
            *watermarkImage = loaded;
        else
            disableWatermark();
        settingsDialog->waterImgPathText->SetValue(fallback);
    } else {
        wxMessageBox(wxString::Format(_("WaterMark file could not be opened. \n\nSupposed location: %s\n\nWatermark "
                                        "functionality will be unavailable."),
                                      configured),
                     _("Watermark image not found"), wxOK | wxCENTRE, nullptr);
        disableWatermark();
    }
}

void CorvaneDialog::noticeMissingWatermark()
{
    // The default watermark stands in for the user's own, which must not
    // happen unnoticed: it would go into every picture instead of theirs.
    const wxString configured = wxString::FromUTF8(settingsDialog->waterImgFile);
    const wxString fallback = defaultWatermark(programDir);
    if (configured.empty() || configured == fallback || wxFileExists(configured) || !wxFileExists(fallback))
        return;
    wxMessageBox(wxString::Format(_("WaterMark file could not be opened. \n\nSupposed location: %s\n\nThe default "
                                    "watermark is used instead: %s"),
                                  configured, fallback),
                 _("Watermark image not found"), wxOK | wxCENTRE, nullptr);
}

void CorvaneDialog::selectFolder(const wxString& folder)
{
    wxFileName name = wxFileName::DirName(folder);
    name.MakeAbsolute();
    wxString wanted = name.GetPath();
    if (wanted.empty())
        wanted = wxS("/");
    if (!wxDirExists(wanted))
        return;
    const wxString before = dirCtrl->GetPath();
    dirCtrl->SetPath(wanted);
    if (dirCtrl->GetPath() == wanted)
        return;
    // Made after the tree read its parent, or hidden: read the tree again,
    // with hidden folders when one is asked for.
    if (wanted.Contains(wxString(wxFILE_SEP_PATH) + wxS(".")))
        dirCtrl->ShowHidden(true);
    dirCtrl->ReCreateTree();
    dirCtrl->SetPath(wanted);
    // Never a folder other than the one asked for: the batch would process it.
    if (dirCtrl->GetPath() != wanted)
        dirCtrl->SetPath(before);
}

void CorvaneDialog::setControlsEnabled(bool enabled)
{
    wxWindow* const controls[] = {dirCtrl,      pathText,       resizeCheck,     autoRotateCheck, watermarkCheck,
                                  maxWidthText, maxHeightText,  maxSizeLabel,    maxHeightLabel,  preferencesButton,
                                  aboutButton,  qualityLabel,   qualitySlider,   qualityValue,    includeSubCheck,
                                  fitChoice,    megapixelsText};
    for (wxWindow* control : controls)
        control->Enable(enabled);
}

wxString CorvaneDialog::firstLine(const wxTextCtrl* text)
{
    return text->GetValue().BeforeFirst('\n');
}

wxThreadError CorvaneDialog::askWorkerToStop()
{
#ifdef __WXMSW__
    // wxMSW's Delete() waits for the thread, which may itself be waiting
    // for this one to show a box: the worker's own request never waits.
    worker_->requestStop();
    return wxTHREAD_NO_ERROR;
#else
    return worker_->Delete();
#endif
}

bool CorvaneDialog::hasWorker()
{
    wxCriticalSectionLocker lock(workerLock_);
    return worker_ != nullptr;
}

void CorvaneDialog::waitForWorker()
{
    // Everything but the worker's own boxes is off while we wait, and the
    // wait keeps serving those boxes: the stopping worker still shows its
    // statistics before it ends.
    wxWindowDisabler disableAll;
    while (hasWorker()) {
        wxYield();
        wxMilliSleep(1);
    }
}

void CorvaneDialog::stopWorker()
{
    {
        wxCriticalSectionLocker lock(workerLock_);
        // The lock keeps the worker object alive: its destructor waits for it.
        if (!worker_ || !worker_->IsRunning())
            return;
        askWorkerToStop();
    }
    waitForWorker();
}

void CorvaneDialog::postNotification(const wxCommandEvent& event)
{
    GetEventHandler()->AddPendingEvent(event);
}

void CorvaneDialog::setGaugeRange(int range)
{
    wxWeakRef<CorvaneDialog> self(this);
    runOnGuiThread([self, range] {
        if (self)
            self->gauge->SetRange(range);
    });
}

void CorvaneDialog::setGaugeValue(int value)
{
    wxWeakRef<CorvaneDialog> self(this);
    runOnGuiThread([self, value] {
        if (self)
            self->gauge->SetValue(value);
    });
}

void CorvaneDialog::setTitle(const wxString& title)
{
    wxWeakRef<CorvaneDialog> self(this);
    runOnGuiThread([self, title] {
        if (self)
            self->SetTitle(title);
    });
}

bool CorvaneDialog::askYesNo(const wxString& message, const wxString& caption)
{
    wxWeakRef<CorvaneDialog> self(this);
    bool yes = false;
    runOnGuiThread([self, &yes, message, caption] {
        if (!self)
            return;
        // Escape gives Cancel: anything but Yes is No.
        yes = askedYes(self.get(), message, caption);
    });
    return yes;
}

void CorvaneDialog::showMessage(const wxString& message, const wxString& caption)
{
    runOnGuiThread([message, caption] { wxMessageBox(message, caption, wxOK | wxCENTRE, nullptr); });
}

bool CorvaneDialog::showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString& details,
                                            const wxString& checkBox)
{
    bool ticked = false;
    runOnGuiThread([&ticked, message, caption, details, checkBox] {
        wxRichMessageDialog box(nullptr, message, caption, wxOK | wxCENTRE);
        box.SetExtendedMessage(details);
        box.ShowCheckBox(checkBox);
        box.ShowModal();
        ticked = box.IsCheckBoxChecked();
    });
    return ticked;
}

void CorvaneDialog::pictureDone(const PictureReport& report)
{
    MessageBoxOwner::pictureDone(report);
    if (report.outcome != PictureReport::Outcome::unreadable || report.endsBatch)
        return;
    wxWeakRef<CorvaneDialog> self(this);
    runOnGuiThread([self, report] {
        if (self)
            self->mainLog->write("Skipped (cannot be read)", (report.path + ": " + report.reason).c_str());
    });
}

void CorvaneDialog::workerEnded(WorkingThread* worker)
{
    wxCriticalSectionLocker lock(workerLock_);
    if (worker_ == worker)
        worker_ = nullptr;
}

void CorvaneDialog::onPathEnter(wxCommandEvent&)
{
    selectFolder(firstLine(pathText));
}

void CorvaneDialog::onCharHook(wxKeyEvent& event)
{
    // Enter in the path field chooses the folder typed there and never
    // presses OK, which Windows would otherwise do at its first use.
    const int key = event.GetKeyCode();
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && event.GetEventObject() == pathText) {
        selectFolder(firstLine(pathText));
        return;
    }
    event.Skip();
}

void CorvaneDialog::onTreeSelection(wxTreeEvent& event)
{
    pathText->SetValue(dirCtrl->GetPath());
    // The folder tree keeps its own handling of the selection.
    event.Skip();
}

void CorvaneDialog::onQualitySlider(wxCommandEvent& event)
{
    qualityValue->SetLabel(wxString::Format(wxS("%i"), event.GetInt()));
}

void CorvaneDialog::onPreferences(wxCommandEvent&)
{
    settingsDialog->previewFolder = dirCtrl->GetPath();
    settingsDialog->previewChoices = chosenSettings();
    settingsDialog->ShowModal();
    alpha = settingsDialog->alpha;
    // A preset chosen there sets this window's controls too.
    if (settingsDialog->presetTaken) {
        showSettings();
        settingsDialog->presetTaken = false;
    }
    loadWatermark();
}

void CorvaneDialog::onAbout(wxCommandEvent&)
{
    aboutDialog->ShowModal();
}

void CorvaneDialog::onCloseButton(wxCommandEvent&)
{
    Close(false);
}

void CorvaneDialog::onOkButton(wxCommandEvent&)
{
    if (okButton->GetLabel() == _("OK")) {
        startBatch();
        return;
    }
    stopWorker();
    okButton->SetLabel(_("OK"));
    gauge->SetValue(0);
}

void CorvaneDialog::startBatch()
{
    const bool toResultsFolder = settingsDialog->saveToFolder;
    const wxString problem = toResultsFolder ? resultsFolderProblem() : wxString();
    if (!problem.empty()) {
        wxMessageBox(wxString::Format(_("%s Please choose another results folder in the Preferences."), problem), caption,
                     wxOK | wxCENTRE, nullptr);
        return;
    }
    double megapixels = 0;
    if (megapixelsText->IsShown() &&
        !megapixelsFromText(std::string(megapixelsText->GetValue().Strip(wxString::both).utf8_str()), megapixels)) {
        wxMessageBox(_("Megapixels has to be a number from 0.01 to 1000, such as 2 or 1.5."), caption,
                     wxOK | wxCENTRE, nullptr);
        return;
    }
    ProcessingJob job;
    job.settings = chosenSettings();
    // A text mark that cannot be drawn stops the batch before it starts.
    textMark.reset();
    if (job.settings.useWatermark && job.settings.textWatermark) {
        std::string markProblem;
        textMark = TextMark::load(job.settings, shippedFont(), markProblem);
        if (!textMark) {
            wxMessageBox(wxString::FromUTF8(markProblem), caption, wxOK | wxCENTRE, nullptr);
            return;
        }
    }
    job.textMark = textMark.get();
    brightWatermarkImage = wxImage();
    const wxString bright = wxString::FromUTF8(job.settings.brightWatermark);
    if (job.settings.useWatermark && !job.settings.textWatermark && !bright.empty()) {
        wxLogNull quiet;
        if (!brightWatermarkImage.LoadFile(bright, wxBITMAP_TYPE_ANY, 0)) {
            wxMessageBox(wxString::Format(_("The watermark for bright ground could not be opened: %s"), bright), caption,
                         wxOK | wxCENTRE, nullptr);
            return;
        }
        if (brightWatermarkImage.HasMask())
            brightWatermarkImage.InitAlpha();
        job.brightWatermarkImage = &brightWatermarkImage;
    }
    okButton->SetLabel(_("STOP"));
    setControlsEnabled(false);

    job.directory = dirCtrl->GetPath();
    job.watermarkImage = watermarkImage.get();
    job.caption = caption;
    if (toResultsFolder)
        job.outputFolder = wxString::FromUTF8(job.settings.resultsFolder);
    // WebP results in place go beside the pictures, where earlier ones may be.
    job.resolved = resolveSettings(job.settings);
    job.askAboutExisting = toResultsFolder || writesBeside(job);
    // The pictures skipped are named in Main.log, begun afresh for the batch.
    mainLog = std::make_unique<TraceLog>("Main.log", settingsDialog->skipUnreadable);

    auto* worker = new WorkingThread(this, job);
    {
        wxCriticalSectionLocker lock(workerLock_);
        worker_ = worker;
    }
    // Bound afresh at each start, but never twice: each notification is handled once.
    const wxEventTypeTag<wxCommandEvent> finished(EVT_BATCH_FINISHED), started(EVT_BATCH_STARTED);
    Unbind(finished, &CorvaneDialog::onBatchFinished, this);
    Unbind(started, &CorvaneDialog::onBatchStarted, this);
    Bind(finished, &CorvaneDialog::onBatchFinished, this);
    Bind(started, &CorvaneDialog::onBatchStarted, this);

    if (worker->Create() != wxTHREAD_NO_ERROR || worker->Run() != wxTHREAD_NO_ERROR) {
        wxLogError(_("Can't create the thread!"));
        delete worker;  // its destructor clears worker_
    }
}

wxString CorvaneDialog::resultsFolderProblem() const
{
    const wxString folder = wxString::FromUTF8(settingsDialog->resultsFolder);
    // An edited prefs.cfg can hold anything: without a usable folder the
    // results would go over the originals, which the user asked to keep.
    if (folder.empty() || !wxIsAbsolutePath(folder))
        return _("The results folder is not a full path, so the originals could not be kept.");
    // Results there would replace the very pictures they are made from.
    if (samePlace(std::string(dirCtrl->GetPath().utf8_str()), std::string(folder.utf8_str())))
        return _("The results folder is the folder to process, so the results would replace the originals.");
    return wxString();
}

void CorvaneDialog::onBatchFinished(wxCommandEvent&)
{
    setControlsEnabled(true);
    okButton->SetLabel(_("OK"));
}

void CorvaneDialog::onBatchStarted(wxCommandEvent&)
{
}

void CorvaneDialog::onCloseWindow(wxCloseEvent& event)
{
    settingsDialog->workingDir = dirCtrl->GetPath();
    settingsDialog->settings() = chosenSettings();
    settingsDialog->savePreferences();

    const bool yes = askedYes(this, _("Do you really want to exit?"), wxS("Tessaly " TESSALY_VERSION));
    if (!yes && event.CanVeto()) {
        event.Veto();
        return;
    }

    if (hasWorker()) {
        wxMessageBox(wxS("Tessaly " TESSALY_VERSION ": ") + _("deleting thread"), _("Message"), wxOK | wxCENTRE, nullptr);
        wxThreadError error = wxTHREAD_NO_ERROR;
        {
            wxCriticalSectionLocker lock(workerLock_);
            if (worker_)
                error = askWorkerToStop();
        }
        if (error != wxTHREAD_NO_ERROR) {
            const wxString text = yes
                                      ? wxS("Tessaly " TESSALY_VERSION ": ") + wxString::Format(_("Can't delete the thread! -> %i"), error)
                                      : _("Can't delete the thread!");
            wxMessageBox(text, _("Message"), wxOK | wxCENTRE, nullptr);
        }
        // No time limit: the worker always ends after the picture in hand,
        // and closing under a live worker would leave it calling into a
        // destroyed dialog.
        waitForWorker();
    }
    AcceptAndClose();
}
