#include "ui/SettingsDialog.h"

#include <algorithm>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/clrpicker.h>
#include <wx/cshelp.h>
#include <wx/dirdlg.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/fontpicker.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "Version.h"
#include "batch/NameTemplate.h"
#include "batch/PicturePreview.h"
#include "batch/TextMark.h"
#include "text/ColourText.h"
#include "pixel/MarkPlacement.h"
#include "pixel/Sharpening.h"
#include "diag/FixedNumber.h"
#include "platform/ReplacingFile.h"
#include "batch/SettingLines.h"
#include "batch/SettingTable.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"
#include "settings/PresetFile.h"
#include "text/UserLanguage.h"
#include "ui/PresetControls.h"
#include "ui/AccessibleName.h"
#include "ui/RoomySize.h"
#include "ui/TranslatedButtons.h"

namespace {

const long ID_STATICTEXT1 = wxNewId();
const long ID_SLIDERALPHA = wxNewId();
const long ID_TEXTCTRLALPHA = wxNewId();
const long ID_STATICTEXT3 = wxNewId();
const long ID_RADIOBUTTONPLACEMENT[9] = {wxNewId(), wxNewId(), wxNewId(), wxNewId(), wxNewId(),
                                         wxNewId(), wxNewId(), wxNewId(), wxNewId()};
const long ID_STATICTEXT2 = wxNewId();
const long ID_TEXTCTRWATERIMGPATH = wxNewId();
const long ID_BUTTONWATERIMGBROWSE = wxNewId();
const long ID_STATICBITMAPWM = wxNewId();
const long ID_CHECKBOXSKIPUNREADABLE = wxNewId();

const wxSize previewArea(320, 240);
// The background of a field whose text the batch would refuse.
const wxColour invalidFieldColour(255, 205, 205);

// A check box with its tip, added to a row of controls gap pixels before
// the next.
wxCheckBox* rowCheck(wxWindow* parent, wxSizer* row, const wxString& label, const wxString& name, const wxString& tip,
                     int gap)
{
    auto* check = new wxCheckBox(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, name);
    check->SetToolTip(tip);
    row->Add(check, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, gap);
    return check;
}

wxString placementHelp()
{
    return _("Relative placement of the watermark image in the picture.");
}

// A place of the nine as a screen reader says it: "Placement: Top left".
wxString placementName(int place)
{
    static const char* const positions[9] = {
        wxTRANSLATE("Top left"),    wxTRANSLATE("Top"),    wxTRANSLATE("Top right"),
        wxTRANSLATE("Left"),        wxTRANSLATE("Centre"), wxTRANSLATE("Right"),
        wxTRANSLATE("Bottom left"), wxTRANSLATE("Bottom"), wxTRANSLATE("Bottom right")};
    return wxString::Format(_("Placement: %s"), wxGetTranslation(positions[place - 1]));
}

void inform(const wxString& message, const wxString& caption)
{
    wxMessageBox(message, caption, wxOK | wxCENTRE, nullptr);
}

// The slider shows the opacity in hundredths, truncated.
int sliderPosition(double alpha)
{
    return static_cast<int>(alpha * 100.0);
}

wxString missingWatermarkMessage(const wxString& path)
{
    return wxString::Format(_("WaterMark file does not exist. \n\nSupposed location: %s"), path);
}

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

wxString sizeText(int width, int height)
{
    return wxString::Format(wxS("%d ") + wxString::FromUTF8("\u00d7") + wxS(" %d"), width, height);
}

}  // namespace

SettingsDialog::SettingsDialog(wxWindow* parent, wxWindowID)
    : wxDialog(parent, wxID_ANY, wxS("Tessaly " TESSALY_VERSION " | ") + _("Preferences"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL, wxS("wxID_ANY"))
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_SCROLLBAR));

    auto* top = new wxBoxSizer(wxVERTICAL);
    // The watermark's page first, as the dialog always began; the text mark,
    // output, names and language each have a page of their own, so that the
    // dialog fits a laptop's screen in every language.
    pages = new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, wxS("ID_NOTEBOOKPREFERENCES"));
    // Named before it has pages: the name goes to the tab list alone.
    setAccessibleName(pages, _("Preferences"));
    const auto addPage = [this](const wxString& title, const wxString& name) {
        auto* page = new wxPanel(pages, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, name);
        pages->AddPage(page, title);
        return page;
    };
    wxWindow* const watermarkPage = addPage(_("Watermark"), wxS("ID_PAGEWATERMARK"));
    wxWindow* const textPage = addPage(_("Text mark"), wxS("ID_PAGETEXTMARK"));
    wxWindow* const outputPage = addPage(_("Output"), wxS("ID_PAGEOUTPUT"));
    wxWindow* const namesPage = addPage(_("File names"), wxS("ID_PAGENAMES"));
    wxWindow* const languagePage = addPage(_("Language"), wxS("ID_PAGELANGUAGE"));
    auto* settings = new wxBoxSizer(wxVERTICAL);
    auto* upperRow = new wxBoxSizer(wxHORIZONTAL);
    auto* alphaColumn = new wxBoxSizer(wxVERTICAL);
    auto* alphaRow = new wxBoxSizer(wxHORIZONTAL);

    alphaLabel = new wxStaticText(watermarkPage, ID_STATICTEXT1, _("Alpha [0.0 - 1.0]:"), wxDefaultPosition, wxDefaultSize,
                                  0, wxS("ID_STATICTEXT1"));
    alphaRow->Add(alphaLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    alphaSlider = new wxSlider(watermarkPage, ID_SLIDERALPHA, 20, 0, 100, wxDefaultPosition, wxDefaultSize, wxSL_HORIZONTAL,
                               wxDefaultValidator, wxS("ID_SLIDERALPHA"));
    alphaSlider->SetToolTip(_("Set value of the alpha."));
    alphaSlider->SetHelpText(_("Set value of the alpha."));
    alphaRow->Add(alphaSlider, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    alphaText = new wxTextCtrl(watermarkPage, ID_TEXTCTRLALPHA, wxS("0.2"), wxDefaultPosition, wxSize(45, -1), 0,
                               wxDefaultValidator, wxS("ID_TEXTCTRLALPHA"));
    growToFitText(alphaText, wxS("0.000"));
    alphaText->Disable();
    alphaText->SetToolTip(_("Value of the alpha when water mark picture does not have alpha channel."));
    alphaText->SetHelpText(_("Value of the alpha when water mark picture does not have alpha channel."));
    alphaRow->Add(alphaText, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    alphaColumn->Add(alphaRow, 1, wxALIGN_CENTER_HORIZONTAL, 0);
    upperRow->Add(alphaColumn, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);

    auto* placementColumn = new wxBoxSizer(wxVERTICAL);
    placementLabel = new wxStaticText(watermarkPage, ID_STATICTEXT3, _("Placement:"), wxDefaultPosition, wxDefaultSize, 0,
                                      wxS("ID_STATICTEXT3"));
    placementLabel->SetHelpText(placementHelp());
    placementColumn->Add(placementLabel, 1, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    radioGrid_ = new wxBoxSizer(wxVERTICAL);
    for (int row = 0; row < 3; ++row) {
        auto* rowSizer = new wxBoxSizer(wxHORIZONTAL);
        for (int column = 0; column < 3; ++column) {
            const int index = row * 3 + column;
            placementButtons[index] =
                new wxRadioButton(watermarkPage, ID_RADIOBUTTONPLACEMENT[index], wxEmptyString, wxDefaultPosition,
                                  wxDefaultSize, index == 0 ? wxRB_GROUP : 0, wxDefaultValidator,
                                  wxString::Format(wxS("ID_RADIOBUTTONPLACEMENT%d"), index + 1));
            placementButtons[index]->SetHelpText(placementHelp());
            int border = wxALL;
            if (row == 1)
                border = column == 1 ? wxLEFT | wxRIGHT : wxLEFT;
            rowSizer->Add(placementButtons[index], 1, border | wxALIGN_CENTER_VERTICAL, 5);
        }
        radioGrid_->Add(rowSizer, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    }
    placementColumn->Add(radioGrid_, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    placementButtons[4]->SetValue(true);
    // Automatic: the places it may choose, ticked in a grid of their own.
    autoGrid_ = new wxGridSizer(3, 3, 0, 0);
    for (int index = 0; index < 9; ++index) {
        autoPlaceChecks[index] = new wxCheckBox(watermarkPage, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                                wxDefaultValidator,
                                                wxString::Format(wxS("ID_CHECKBOXAUTOPLACE%d"), index + 1));
        autoPlaceChecks[index]->SetToolTip(_("A place Automatic may choose"));
        // Heard as the placement buttons are, in the user's words.
        setAccessibleName(autoPlaceChecks[index], placementName(index + 1));
        autoPlaceChecks[index]->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { requestPreview(false); });
        autoGrid_->Add(autoPlaceChecks[index], 0, wxALL | wxALIGN_CENTER, 5);
    }
    placementColumn->Add(autoGrid_, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    autoPlacementCheck = new wxCheckBox(watermarkPage, wxID_ANY, _("Automatic"), wxDefaultPosition, wxDefaultSize, 0,
                                        wxDefaultValidator, wxS("ID_CHECKBOXAUTOPLACEMENT"));
    autoPlacementCheck->SetToolTip(_("For each picture, the ticked place where the mark covers the least detail."));
    autoPlacementCheck->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        showAutomaticPlaces();
        requestPreview(false);
    });
    placementColumn->Add(autoPlacementCheck, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    placementColumn->Hide(autoGrid_);
    upperRow->Add(placementColumn, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 43);
    settings->Add(upperRow, 1, wxALIGN_CENTER_HORIZONTAL, 0);

    auto* source = new wxBoxSizer(wxVERTICAL);
    auto* sourceLabelBox = new wxBoxSizer(wxVERTICAL);
    sourceLabel = new wxStaticText(watermarkPage, ID_STATICTEXT2, _("Source for water image:"), wxDefaultPosition,
                                   wxDefaultSize, 0, wxS("ID_STATICTEXT2"));
    sourceLabelBox->Add(sourceLabel, 0, wxLEFT, 5);
    source->Add(sourceLabelBox, 0, wxLEFT | wxRIGHT, 5);
    auto* pathRow = new wxBoxSizer(wxHORIZONTAL);
    waterImgPathText = new wxTextCtrl(watermarkPage, ID_TEXTCTRWATERIMGPATH, wxS("/"), wxDefaultPosition, wxSize(pathWidth, 21), 0,
                                      wxDefaultValidator, wxS("ID_TEXTCTRWATERIMGPATH"));
    waterImgPathText->SetToolTip(_("Path to the image used in watermarking process."));
    waterImgPathText->SetHelpText(_("Path to the image used in watermarking process."));
    pathRow->Add(waterImgPathText, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    browseButton = new wxButton(watermarkPage, ID_BUTTONWATERIMGBROWSE, _("Browse"), wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, wxS("ID_BUTTONWATERIMGBROWSE"));
    browseButton->SetToolTip(_("Click here to find water mark image."));
    browseButton->SetHelpText(_("Click here to find water mark image."));
    pathRow->Add(browseButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    source->Add(pathRow, 0, wxALL, 5);
    source->Add(buildWatermarkSizeControls(watermarkPage), 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    source->Add(buildBrightWatermarkControls(watermarkPage), 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    auto* textSizer = new wxBoxSizer(wxVERTICAL);
    textSizer->Add(buildTextMarkControls(textPage), 0, wxALL, 10);
    textPage->SetSizer(textSizer);
    auto* outputSizer = new wxBoxSizer(wxVERTICAL);
    skipUnreadableCheck = new wxCheckBox(outputPage, ID_CHECKBOXSKIPUNREADABLE, _("Skip pictures that cannot be read"),
                                         wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                                         wxS("ID_CHECKBOXSKIPUNREADABLE"));
    skipUnreadableCheck->SetToolTip(_("Go on with the next picture instead of ending the batch."));
    outputSizer->Add(skipUnreadableCheck, 0, wxLEFT | wxRIGHT | wxTOP, 10);
    outputSizer->Add(buildOutputChecks(outputPage), 0, wxLEFT | wxRIGHT, 10);
    outputSizer->Add(buildOutputControls(outputPage), 0, wxALL | wxEXPAND, 10);
    outputPage->SetSizer(outputSizer);
    auto* namesSizer = new wxBoxSizer(wxVERTICAL);
    namesSizer->Add(buildResultsControls(namesPage), 0, wxALL, 10);
    namesPage->SetSizer(namesSizer);
    auto* languageSizer = new wxBoxSizer(wxVERTICAL);
    languageSizer->Add(buildLanguageControls(languagePage), 0, wxALL, 10);
    languagePage->SetSizer(languageSizer);
    settings->Add(source, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);

    preview = new wxStaticBitmap(watermarkPage, ID_STATICBITMAPWM, wxNullBitmap, wxDefaultPosition, wxSize(200, 150),
                                 wxSIMPLE_BORDER, wxS("ID_STATICBITMAPWM"));
    preview->SetToolTip(_("Water image overview."));
    preview->SetHelpText(_("Water image overview."));
    settings->Add(preview, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    watermarkPage->SetSizer(settings);
    left->Add(pages, 1, wxALL | wxEXPAND, 5);
    body->Add(left, 0, wxEXPAND, 0);
    // The preview takes what the dialog grows by, and the path field half of
    // its width (onSize).
    body->Add(buildPreviewControls(), 1, wxALL | wxEXPAND, 5);
    top->Add(body, 1, wxEXPAND, 0);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    presets_ = std::make_unique<PresetControls>(
        this, [this](BatchSettings& into) { return readForPreset(into); },
        [this](const BatchSettings& preset) { takePreset(preset); });
    buttons->Add(presets_->row(), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 20);
    okButton = new wxButton(this, wxID_OK, _("OK"), wxDefaultPosition, wxSize(51, 23), 0, wxDefaultValidator,
                            wxS("wxID_OK"));
    buttons->Add(okButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    cancelButton = new wxButton(this, wxID_CANCEL, _("Cancel"), wxDefaultPosition, wxSize(51, 23), 0,
                                wxDefaultValidator, wxS("wxID_CANCEL"));
    buttons->Add(cancelButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    showOwnLabel(cancelButton, wxS("Cancel"));
    growToFit(okButton);
    growToFit(cancelButton);
    okButton->SetDefault();

    // What a screen reader says for the controls that show no label of their own.
    setAccessibleName(alphaSlider, _("Alpha [0.0 - 1.0]"));
    setAccessibleName(alphaText, _("Alpha value"));
    setAccessibleName(waterImgPathText, _("Source for water image"));
    setAccessibleName(preview, _("Water image overview"));
    for (int i = 0; i < 9; ++i)
        setAccessibleName(placementButtons[i], placementName(i + 1));
    top->Add(buttons, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);

    fileDialog = new wxFileDialog(this, _("Select file"), wxEmptyString, wxEmptyString,
                                  _("BMP, JPG, PNG and GIF files (*.bmp;*.jpg;*.png;*.gif)|*.bmp;*.jpg;*.png;*.gif"),
                                  wxFD_DEFAULT_STYLE, wxDefaultPosition, wxDefaultSize, wxS("wxFileDialog"));
    SetSizer(top);
    top->Fit(this);
    top->SetSizeHints(this);
    layOutPages();
    firstWidth_ = GetSize().x;
    Bind(wxEVT_SIZE, &SettingsDialog::onSize, this);

    alphaSlider->Bind(wxEVT_SCROLL_CHANGED, [this](wxScrollEvent& e) { onAlphaSlider(e); });
    alphaSlider->Bind(wxEVT_SLIDER, &SettingsDialog::onAlphaSlider, this);
    browseButton->Bind(wxEVT_BUTTON, &SettingsDialog::onBrowse, this);
    // The preview follows every change of what the batch would blend in.
    for (wxRadioButton* button : placementButtons)
        button->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { requestPreview(false); });
    waterImgPathText->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        // The whole path, however narrow the field.
        waterImgPathText->SetToolTip(_("Path to the image used in watermarking process.") + wxS("\n") +
                                     waterImgPathText->GetValue());
        followTypedWatermark();
        requestPreview(false);
    });
    previewMaker_ = std::make_unique<PicturePreview>([this] { CallAfter([this] { showPreviewPicture(); }); });
    okButton->Bind(wxEVT_BUTTON, &SettingsDialog::onOk, this);
    cancelButton->Bind(wxEVT_BUTTON, &SettingsDialog::onCancel, this);
    Bind(wxEVT_INIT_DIALOG, &SettingsDialog::onInitDialog, this);

    loadPreferences();
}

SettingsDialog::~SettingsDialog()
{
    // Its thread calls back into this dialog: it ends first.
    previewMaker_.reset();
}

wxSizer* SettingsDialog::buildWatermarkSizeControls(wxWindow* page)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto addPercent = [this, page, row](const wxString& label, const wxString& name, const wxString& tip) {
        row->Add(new wxStaticText(page, wxID_ANY, label), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
        auto* text = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                    wxTextValidator(wxFILTER_NUMERIC), name);
        growToFitText(text, wxS("00.00"));
        text->SetToolTip(tip);
        setAccessibleName(text, label);
        text->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { requestPreview(false); });
        row->Add(text, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 15);
        return text;
    };
    watermarkSizeText = addPercent(_("Size [%]"), wxS("ID_TEXTCTRLWATERMARKSIZE"),
                                   _("The watermark's longer side in percent of the picture's longer side; empty or "
                                     "0 for its own size."));
    watermarkMarginText = addPercent(_("Margin [%]"), wxS("ID_TEXTCTRLWATERMARKMARGIN"),
                                     _("Distance of the watermark from the edges, in percent of the picture's longer "
                                       "side."));
    return row;
}

wxSizer* SettingsDialog::buildBrightWatermarkControls(wxWindow* page)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(page, wxID_ANY, _("For bright ground")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    brightWatermarkText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(pathWidth - 110, -1),
                                         0, wxDefaultValidator, wxS("ID_TEXTCTRLBRIGHTWATERMARK"));
    brightWatermarkText->SetToolTip(_("A dark version of the watermark, used where the ground under the mark is "
                                      "bright; empty for none."));
    setAccessibleName(brightWatermarkText, _("Watermark for bright ground"));
    brightWatermarkText->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { requestPreview(false); });
    row->Add(brightWatermarkText, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    brightBrowseButton = new wxButton(page, wxID_ANY, _("Browse"), wxDefaultPosition, wxDefaultSize, 0,
                                      wxDefaultValidator, wxS("ID_BUTTONBRIGHTBROWSE"));
    setAccessibleName(brightBrowseButton, _("Browse for the watermark for bright ground"));
    brightBrowseButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        wxFileDialog chooser(this, _("Select the watermark for bright ground"), wxEmptyString, wxEmptyString,
                             wxFileSelectorDefaultWildcardStr, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (chooser.ShowModal() == wxID_OK)
            brightWatermarkText->SetValue(chooser.GetPath());
    });
    row->Add(brightBrowseButton, 0, wxALIGN_CENTER_VERTICAL, 0);
    return row;
}

void SettingsDialog::showAutomaticPlaces()
{
    const bool automatic = autoPlacementCheck->GetValue();
    // Both grids are the watermark page's.
    wxWindow* page = placementButtons[0]->GetParent();
    page->GetSizer()->Show(radioGrid_, !automatic, true);
    page->GetSizer()->Show(autoGrid_, automatic, true);
    page->Layout();
    Layout();
}

std::string SettingsDialog::chosenSharpening() const
{
    return sharpeningName(static_cast<Sharpening>(std::max(0, sharpeningChoice->GetSelection())));
}

std::string SettingsDialog::tickedPlaces() const
{
    std::string places;
    for (int i = 0; i < 9; ++i)
        if (autoPlaceChecks[i]->GetValue())
            places += std::string(places.empty() ? "" : ",") + placeName(i + 1);
    return places;
}

bool SettingsDialog::readPlacementChoice(BatchSettings& into)
{
    const std::string places = tickedPlaces();
    if (autoPlacementCheck->GetValue() && places.empty()) {
        inform(_("Tick at least one place Automatic may choose."), _("Placement"));
        return false;
    }
    into.autoPlacement = autoPlacementCheck->GetValue();
    into.autoPlaces = places.empty() ? into.autoPlaces : places;
    into.brightWatermark = utf8(brightWatermarkText->GetValue().Strip(wxString::both));
    return true;
}

wxSizer* SettingsDialog::buildTextMarkControls(wxWindow* page)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* textRow = new wxBoxSizer(wxHORIZONTAL);
    textWatermarkCheck = rowCheck(page, textRow, _("Text instead:"), wxS("ID_CHECKBOXTEXTWATERMARK"),
                                  _("Mark the pictures with a line of text instead of the picture."), 5);
    watermarkTextText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(pathWidth - 60, -1),
                                       0, wxDefaultValidator, wxS("ID_TEXTCTRLWATERMARKTEXT"));
    watermarkTextText->SetToolTip(_("{name}, {date}, {year}, {time}, {camera}, {lens}, {artist} and {copyright} come "
                                    "from the picture; {artist|Jane Doe} where it has none; {{ and }} are braces."));
    // Seen while the field is empty: a token's fallback for photos without its value.
    watermarkTextText->SetHint(_("\u00a9 {artist|Jane Doe} {year}"));
    setAccessibleName(watermarkTextText, _("Watermark text"));
    textRow->Add(watermarkTextText, 1, wxALIGN_CENTER_VERTICAL, 0);
    column->Add(textRow, 0, wxEXPAND, 0);

    auto* styleRow = new wxBoxSizer(wxHORIZONTAL);
    styleRow->Add(new wxStaticText(page, wxID_ANY, _("Font")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    textFontText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(110, -1), 0,
                                  wxDefaultValidator, wxS("ID_TEXTCTRLTEXTFONT"));
    textFontText->SetHint(wxS("DejaVu Sans"));
    textFontText->SetToolTip(_("An installed font's name or a font file; empty for DejaVu Sans."));
    setAccessibleName(textFontText, _("Font"));
    styleRow->Add(textFontText, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    // The installed fonts to choose from; the field takes a font file too.
    textFontPicker = new wxFontPickerCtrl(page, wxID_ANY, wxNullFont, wxDefaultPosition, wxDefaultSize, 0,
                                          wxDefaultValidator, wxS("ID_FONTPICKER"));
    textFontPicker->SetToolTip(_("Choose an installed font."));
    setAccessibleName(textFontPicker, _("Choose an installed font."));
    textFontPicker->Bind(wxEVT_FONTPICKER_CHANGED, [this](wxFontPickerEvent& event) {
        if (event.GetFont().IsOk())
            textFontText->SetValue(event.GetFont().GetFaceName());
    });
    styleRow->Add(textFontPicker, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 10);
    textColourPicker = new wxColourPickerCtrl(page, wxID_ANY, *wxWHITE, wxDefaultPosition, wxDefaultSize,
                                              wxCLRP_DEFAULT_STYLE, wxDefaultValidator, wxS("ID_TEXTCOLOURPICKER"));
    textColourPicker->SetToolTip(_("The colour of the letters."));
    setAccessibleName(textColourPicker, _("Text colour"));
    styleRow->Add(textColourPicker, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    textColourAutoCheck = rowCheck(page, styleRow, _("Auto"), wxS("ID_CHECKBOXTEXTCOLOURAUTO"),
                                   _("Light or dark letters, whichever stands out from the ground under them."), 10);
    textColourAutoCheck->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        textColourPicker->Enable(!textColourAutoCheck->GetValue());
        requestPreview(false);
    });
    styleRow->Add(new wxStaticText(page, wxID_ANY, _("Letters [%]")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    textSizeText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                  wxTextValidator(wxFILTER_NUMERIC), wxS("ID_TEXTCTRLTEXTSIZE"));
    growToFitText(textSizeText, wxS("00.00"));
    textSizeText->SetToolTip(_("The height of the letters in percent of the picture's longer side."));
    setAccessibleName(textSizeText, _("Letters [%]"));
    styleRow->Add(textSizeText, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 10);
    textShadowCheck = rowCheck(page, styleRow, _("Shadow"), wxS("ID_CHECKBOXTEXTSHADOW"),
                               _("A soft shadow that keeps the text readable on any ground."), 0);
    column->Add(styleRow, 0, wxTOP, 5);
    // The letters' own opacity: the logo's Alpha is greyed for a logo with transparency.
    auto* opacityRow = new wxBoxSizer(wxHORIZONTAL);
    opacityRow->Add(new wxStaticText(page, wxID_ANY, _("Opacity [0.0 - 1.0]")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL,
                    5);
    textOpacityText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                     wxTextValidator(wxFILTER_NUMERIC), wxS("ID_TEXTCTRLTEXTOPACITY"));
    growToFitText(textOpacityText, wxS("0.000"));
    textOpacityText->SetToolTip(_("How strongly the letters cover the picture: 1 is solid."));
    setAccessibleName(textOpacityText, _("Opacity [0.0 - 1.0]"));
    opacityRow->Add(textOpacityText, 0, wxALIGN_CENTER_VERTICAL, 0);
    column->Add(opacityRow, 0, wxTOP, 5);

    const auto follow = [this](wxCommandEvent&) { requestPreview(false); };
    textOpacityText->Bind(wxEVT_TEXT, follow);
    textWatermarkCheck->Bind(wxEVT_CHECKBOX, follow);
    watermarkTextText->Bind(wxEVT_TEXT, follow);
    textFontText->Bind(wxEVT_TEXT, follow);
    textSizeText->Bind(wxEVT_TEXT, follow);
    textShadowCheck->Bind(wxEVT_CHECKBOX, follow);
    textColourPicker->Bind(wxEVT_COLOURPICKER_CHANGED, [this](wxColourPickerEvent&) { requestPreview(false); });
    return column;
}

void SettingsDialog::readTextMark(BatchSettings& into) const
{
    into.textWatermark = textWatermarkCheck->GetValue();
    into.watermarkText = utf8(watermarkTextText->GetValue());
    into.textFont = utf8(textFontText->GetValue().Strip(wxString::both));
    into.textColour = textColourAutoCheck->GetValue()
                          ? std::string("auto")
                          : utf8(textColourPicker->GetColour().GetAsString(wxC2S_HTML_SYNTAX));
    into.textShadow = textShadowCheck->GetValue();
    // As far as it reads: what OK refuses keeps the last opacity shown.
    std::string why;
    settingFromText(*rowOfKey("TextOpacity"), utf8(textOpacityText->GetValue().Strip(wxString::both)),
                    into.textOpacity, why);
}

bool SettingsDialog::textMarkAccepted(BatchSettings& into)
{
    double size = 0;
    std::string why;
    if (!settingFromText(*rowOfKey("TextSize"), utf8(textSizeText->GetValue().Strip(wxString::both)), size, why)) {
        inform(_("Letters [%] has to be a number above 0, at most 100."), _("Error processing Letters [%]"));
        return false;
    }
    double opacity = 0;
    if (!settingFromText(*rowOfKey("TextOpacity"), utf8(textOpacityText->GetValue().Strip(wxString::both)), opacity,
                         why)) {
        inform(_("Opacity [0.0 - 1.0] has to be a number from 0 to 1."), _("Error processing Opacity [0.0 - 1.0]"));
        return false;
    }
    BatchSettings wanted = settings();
    readTextMark(wanted);
    wanted.textSize = size;
    std::string problem;
    if (wanted.textWatermark && !TextMark::load(wanted, shippedFont(), problem)) {
        inform(wxString::FromUTF8(problem), _("Watermark text"));
        return false;
    }
    into.textWatermark = wanted.textWatermark;
    into.watermarkText = wanted.watermarkText;
    into.textFont = wanted.textFont;
    into.textColour = wanted.textColour;
    into.textSize = wanted.textSize;
    into.textShadow = wanted.textShadow;
    into.textOpacity = opacity;
    return true;
}

wxSizer* SettingsDialog::buildOutputControls(wxWindow* page)
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, page, _("Output"));
    wxWindow* box = group->GetStaticBox();
    auto* formatRow = new wxBoxSizer(wxHORIZONTAL);
    formatRow->Add(new wxStaticText(box, wxID_ANY, _("Format")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    const wxString formats[] = {wxS("JPEG"), wxS("WebP")};
    outputFormatChoice = new wxComboBox(box, wxID_ANY, formats[0], wxDefaultPosition, wxDefaultSize, 2, formats,
                                        wxCB_READONLY,
                                      wxDefaultValidator, wxS("ID_CHOICEOUTPUTFORMAT"));
    outputFormatChoice->SetToolTip(_("WebP results are written beside the pictures or into the results folder, "
                                     "never over the pictures."));
    setAccessibleName(outputFormatChoice, _("Format"));
    formatRow->Add(outputFormatChoice, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 10);
    progressiveCheck = rowCheck(box, formatRow, _("Progressive"), wxS("ID_CHECKBOXPROGRESSIVE"),
                                _("A JPEG that shows coarse first while it loads."), 10);
    fullChromaCheck = rowCheck(box, formatRow, _("Full colour (4:4:4)"), wxS("ID_CHECKBOXFULLCHROMA"),
                               _("JPEG colour at full resolution at every quality, not only from 90 on."), 0);
    group->Add(formatRow, 0, wxALL, 5);

    auto* sizeRow = new wxBoxSizer(wxHORIZONTAL);
    sizeRow->Add(new wxStaticText(box, wxID_ANY, _("At most [KB]")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    maxFileSizeText = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                     wxTextValidator(wxFILTER_DIGITS), wxS("ID_TEXTCTRLMAXFILESIZE"));
    growToFitText(maxFileSizeText, wxS("000000"));
    maxFileSizeText->SetToolTip(_("Each result at most this many KB (1000 bytes), at the largest quality up to "
                                  "the chosen one that fits; empty for no limit."));
    setAccessibleName(maxFileSizeText, _("At most [KB]"));
    sizeRow->Add(maxFileSizeText, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 15);
    sizeRow->Add(new wxStaticText(box, wxID_ANY, _("Sharpening")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    const wxString levels[] = {_("Off"), _("Low"), _("Standard"), _("High")};
    sharpeningChoice = new wxComboBox(box, wxID_ANY, levels[0], wxDefaultPosition, wxDefaultSize, 4, levels,
                                      wxCB_READONLY,
                                    wxDefaultValidator, wxS("ID_CHOICESHARPENING"));
    sharpeningChoice->SetToolTip(_("Sharpen the shrunk picture, for the crispness the shrink takes away."));
    setAccessibleName(sharpeningChoice, _("Sharpening"));
    sizeRow->Add(sharpeningChoice, 0, wxALIGN_CENTER_VERTICAL, 0);
    group->Add(sizeRow, 0, wxALL, 5);

    // Progressive scans and chroma are JPEG's own.
    oneTabStop(outputFormatChoice);
    oneTabStop(sharpeningChoice);
    outputFormatChoice->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) {
        const bool jpeg = outputFormatChoice->GetSelection() == 0;
        progressiveCheck->Enable(jpeg);
        fullChromaCheck->Enable(jpeg);
        // The result's name under the preview ends as the format says.
        requestPreview(false);
    });
    sharpeningChoice->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { requestPreview(false); });
    return group;
}

wxSizer* SettingsDialog::buildLanguageControls(wxWindow* page)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(page, wxID_ANY, _("Language")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    // Each language by its own name, as its speakers look for it.
    wxArrayString names;
    names.Add(_("System language"));
    for (const SpokenLanguage& spoken : spokenLanguages())
        names.Add(wxString::FromUTF8(spoken.name));
    languageChoice = new wxComboBox(page, wxID_ANY, names[0], wxDefaultPosition, wxDefaultSize, names, wxCB_READONLY,
                                    wxDefaultValidator, wxS("ID_CHOICELANGUAGE"));
    languageChoice->SetToolTip(_("The language of Tessaly's texts, from its next start."));
    setAccessibleName(languageChoice, _("Language"));
    oneTabStop(languageChoice);
    row->Add(languageChoice, 0, wxALIGN_CENTER_VERTICAL, 0);
    return row;
}

void SettingsDialog::showLanguage()
{
    int shown = 0;
    const auto& spoken = spokenLanguages();
    for (std::size_t i = 0; i < spoken.size(); ++i)
        if (language == spoken[i].code)
            shown = static_cast<int>(i) + 1;
    languageChoice->SetSelection(shown);
}

bool SettingsDialog::readOutputControls(BatchSettings& into)
{
    const std::string typed = utf8(maxFileSizeText->GetValue().Strip(wxString::both));
    int kilobytes = 0;
    std::string why;
    if (!typed.empty() && !settingFromText(*rowOfKey("MaxFileSize"), typed, kilobytes, why)) {
        inform(_("At most [KB] has to be a whole number from 8 to 1000000, or empty for no limit."),
               _("Error processing At most [KB]"));
        return false;
    }
    into.outputFormat = outputFormatChoice->GetSelection() == 1 ? "webp" : "jpeg";
    into.progressive = progressiveCheck->GetValue();
    into.fullChroma = fullChromaCheck->GetValue();
    into.maxFileSize = kilobytes;
    into.sharpening = chosenSharpening();
    return true;
}

wxSizer* SettingsDialog::buildOutputChecks(wxWindow* page)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto addCheck = [this, page, column](const wxString& label, const wxString& name, const wxString& tip) {
        auto* check = new wxCheckBox(page, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator,
                                     name);
        check->SetToolTip(tip);
        column->Add(check, 0, wxTOP, 5);
        return check;
    };
    keepExifCheck = addCheck(_("Keep EXIF data (date, camera, copyright)"), wxS("ID_CHECKBOXKEEPEXIF"),
                             _("Carry the camera's data over, without thumbnail and maker note."));
    keepGpsCheck = addCheck(_("Keep GPS position"), wxS("ID_CHECKBOXKEEPGPS"),
                            _("With the EXIF data, keep where the picture was taken too."));
    convertToSrgbCheck = addCheck(_("Convert colours to sRGB"), wxS("ID_CHECKBOXCONVERTTOSRGB"),
                                  _("Convert pictures with a colour profile into sRGB, as web pages expect."));
    skipProcessedCheck = addCheck(_("Skip pictures already processed"), wxS("ID_CHECKBOXSKIPPROCESSED"),
                                  _("Leave pictures this program already wrote with the same settings."));
    convertToSrgbCheck->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { requestPreview(false); });
    // The GPS position is part of the EXIF data: greyed without it, its own
    // tick kept for when the EXIF data is kept again.
    keepExifCheck->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { keepGpsCheck->Enable(keepExifCheck->GetValue()); });
    return column;
}

wxSizer* SettingsDialog::buildResultsControls(wxWindow* page)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    saveToFolderCheck = new wxCheckBox(page, wxID_ANY, _("Save results to folder"), wxDefaultPosition, wxDefaultSize,
                                       0, wxDefaultValidator, wxS("ID_CHECKBOXSAVETOFOLDER"));
    saveToFolderCheck->SetToolTip(
        _("Keep the originals: write each result below this folder, by its path in the processed folder."));
    column->Add(saveToFolderCheck, 0, wxTOP, 5);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    resultsFolderText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(300, -1), 0,
                                       wxDefaultValidator, wxS("ID_TEXTCTRLRESULTSFOLDER"));
    resultsFolderText->SetToolTip(_("Folder that receives the results."));
    row->Add(resultsFolderText, 0, wxTOP | wxBOTTOM | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    resultsFolderButton = new wxButton(page, wxID_ANY, _("Choose folder"), wxDefaultPosition, wxDefaultSize, 0,
                                       wxDefaultValidator, wxS("ID_BUTTONRESULTSFOLDER"));
    resultsFolderButton->SetToolTip(_("Click here to choose the folder for the results."));
    row->Add(resultsFolderButton, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(row, 0, 0, 0);
    setAccessibleName(resultsFolderText, _("Results folder"));
    auto* namesRow = new wxBoxSizer(wxHORIZONTAL);
    namesRow->Add(new wxStaticText(page, wxID_ANY, _("File names")), 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    nameTemplateText = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(220, -1), 0,
                                      wxDefaultValidator, wxS("ID_TEXTCTRLNAMETEMPLATE"));
    nameTemplateText->SetToolTip(_("With a results folder, name the results by a template such as {date}_{name} "
                                   "or {year}/{camera}/{name}-{counter:3}: the text's tokens, {counter}, {folder}, "
                                   "{width} and {height}; a / makes a folder. Empty: the pictures' own names."));
    setAccessibleName(nameTemplateText, _("File names"));
    namesRow->Add(nameTemplateText, 1, wxALIGN_CENTER_VERTICAL, 0);
    column->Add(namesRow, 0, wxBOTTOM | wxEXPAND, 5);
    nameTemplateText->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { requestPreview(false); });
    saveToFolderCheck->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { requestPreview(false); });

    resultsFolderButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        wxDirDialog chooser(this, _("Choose the folder for the results"), resultsFolderText->GetValue());
        if (chooser.ShowModal() == wxID_OK)
            resultsFolderChosen(chooser.GetPath());
    });
    return column;
}

wxSizer* SettingsDialog::buildPreviewControls()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    picturePreview = new wxStaticBitmap(this, wxID_ANY, wxNullBitmap, wxDefaultPosition, previewArea, wxSIMPLE_BORDER,
                                        wxS("ID_STATICBITMAPPREVIEW"));
    picturePreview->SetToolTip(_("A picture of the folder as the batch will write it. Click to see it at 100 %."));
    picturePreview->SetMinSize(previewArea);
    column->Add(picturePreview, 1, wxALL | wxEXPAND, 5);

    auto* steps = new wxBoxSizer(wxHORIZONTAL);
    previousButton = new wxButton(this, wxID_ANY, wxS("<"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT,
                                  wxDefaultValidator, wxS("ID_BUTTONPREVIOUSPICTURE"));
    previousButton->SetToolTip(_("Previous picture"));
    steps->Add(previousButton, 0, wxALIGN_CENTER_VERTICAL, 0);
    const long centredText = wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE | wxALIGN_CENTRE_HORIZONTAL;
    previewName = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, centredText,
                                   wxS("ID_STATICTEXTPREVIEWNAME"));
    steps->Add(previewName, 1, wxLEFT | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    nextButton = new wxButton(this, wxID_ANY, wxS(">"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT,
                              wxDefaultValidator, wxS("ID_BUTTONNEXTPICTURE"));
    nextButton->SetToolTip(_("Next picture"));
    steps->Add(nextButton, 0, wxALIGN_CENTER_VERTICAL, 0);
    column->Add(steps, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);
    previewSize = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, centredText,
                                   wxS("ID_STATICTEXTPREVIEWSIZE"));
    column->Add(previewSize, 0, wxEXPAND | wxALL, 5);

    setAccessibleName(picturePreview, _("Preview"));
    setAccessibleName(previousButton, _("Previous picture"));
    setAccessibleName(nextButton, _("Next picture"));
    previousButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { stepPreview(-1); });
    nextButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { stepPreview(1); });
    picturePreview->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        requestPreview(false);
    });
    picturePreview->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) {
        fullSizeWanted_ = true;
        requestPreview(false);
    });
    return column;
}

void SettingsDialog::loadPreferences()
{
    prefsPath = wxS("./prefs.cfg");
    if (!wxFileExists(prefsPath)) {
        inform(_("Generating default config..."), _("Message"));
        if (!writeDefaultPreferences())
            inform(_("Default configuration file could not be created."), _("Info"));
    }
    try {
        const ConfigFile file(std::string(prefsPath.utf8_str()), "=", "#", "EndConfigFile");
        std::string folder = utf8(workingDir);
        readPreferences(file, *this, folder);
        // A later setting its row does not allow is told and left at its default.
        for (const std::string& fault :
             takeSettingLines(file, "prefs.cfg", SettingsForm::preferences, *this, true))
            inform(wxString::FromUTF8(fault), _("Error in prefs.cfg file."));
        workingDir = wxString::FromUTF8(folder);
        language = languageIn(file);
    } catch (const ConfigFile::file_not_found&) {
        // Neither found nor created: the user has been told; go on with the defaults.
    }
    savedWaterImgFile = waterImgFile;
    savedAlpha = alpha;
    showAlpha();
    waterImgPathText->SetValue(wxString::FromUTF8(waterImgFile));
    selectPlacementButton();
    showOptions();
    showLanguage();
}

void SettingsDialog::showOptions()
{
    skipUnreadableCheck->SetValue(skipUnreadable);
    saveToFolderCheck->SetValue(saveToFolder);
    resultsFolderText->SetValue(wxString::FromUTF8(resultsFolder));
    nameTemplateText->ChangeValue(wxString::FromUTF8(nameTemplate));
    keepExifCheck->SetValue(keepExif);
    keepGpsCheck->SetValue(keepGps);
    keepGpsCheck->Enable(keepExif);
    convertToSrgbCheck->SetValue(convertToSrgb);
    skipProcessedCheck->SetValue(skipProcessed);
    textWatermarkCheck->SetValue(textWatermark);
    watermarkTextText->ChangeValue(wxString::FromUTF8(watermarkText));
    textFontText->ChangeValue(wxString::FromUTF8(textFont));
    unsigned char rgb[3] = {255, 255, 255};
    colourFromText(textColour, rgb);
    textColourPicker->SetColour(wxColour(rgb[0], rgb[1], rgb[2]));
    textColourAutoCheck->SetValue(textColour == "auto");
    textColourPicker->Enable(textColour != "auto");
    autoPlacementCheck->SetValue(autoPlacement);
    std::vector<int> places;
    placesFromList(autoPlaces, places);
    for (int i = 0; i < 9; ++i)
        autoPlaceChecks[i]->SetValue(std::find(places.begin(), places.end(), i + 1) != places.end());
    showAutomaticPlaces();
    brightWatermarkText->ChangeValue(wxString::FromUTF8(brightWatermark));
    lastValidTextSize_ = textSize;
    textSizeText->ChangeValue(wxString::FromCDouble(textSize));
    textOpacityText->ChangeValue(wxString::FromCDouble(textOpacity));
    textShadowCheck->SetValue(textShadow);
    outputFormatChoice->SetSelection(outputFormat == "webp" ? 1 : 0);
    progressiveCheck->SetValue(progressive);
    fullChromaCheck->SetValue(fullChroma);
    progressiveCheck->Enable(outputFormat != "webp");
    fullChromaCheck->Enable(outputFormat != "webp");
    maxFileSizeText->ChangeValue(maxFileSize > 0 ? wxString::Format(wxS("%d"), maxFileSize) : wxString());
    Sharpening level = Sharpening::off;
    sharpeningFromName(sharpening, level);
    sharpeningChoice->SetSelection(static_cast<int>(level));
    // An unset size or margin shows empty: the watermark as it is.
    lastValidSize_ = watermarkSize;
    lastValidMargin_ = watermarkMargin;
    watermarkSizeText->SetValue(watermarkSize == 0 ? wxString() : wxString::FromCDouble(watermarkSize));
    watermarkMarginText->SetValue(watermarkMargin == 0 ? wxString() : wxString::FromCDouble(watermarkMargin));
}

bool SettingsDialog::readPercent(const wxTextCtrl* text, const SettingRow& row, const wxString& name, double& out)
{
    const std::string value = utf8(text->GetValue().Strip(wxString::both));
    out = 0;
    std::string why;
    if (value.empty() || settingFromText(row, value, out, why))
        return true;
    inform(wxString::Format(_("%s has to be a number from 0 to %d, or empty."), name, static_cast<int>(row.most)),
           wxString::Format(_("Error processing %s"), name));
    return false;
}

bool SettingsDialog::writeDefaultPreferences()
{
    const std::string text = defaultPreferencesText(programDirectory());
    ReplacingFile file(std::string(prefsPath.utf8_str()));
    if (!file.open()) {
        inform(_("Error when creating file with preferences occured."), _("Message"));
        return false;
    }
    return file.write(text) && file.commit(false);
}

void SettingsDialog::savePreferences()
{
    // Into the start-up folder first, so that no stray default file lands
    // in whatever folder happens to be current.
    wxSetWorkingDirectory(startupDir);
    if (!wxFileExists(prefsPath) && !writeDefaultPreferences())
        inform(_("Default configuration file could not be created."), _("Info"));

    ReplacingFile file(std::string(prefsPath.utf8_str()));
    if (!file.open()) {
        inform(_("Setting could not be saved."), _("Info"));
        return;
    }
    placementFromButtons(settings());
    // Either the whole new file replaces the old one, or the old one stays.
    if (!file.write(savedPreferencesText(settings(), utf8(workingDir), language)) || !file.commit(false))
        inform(_("Setting could not be recorded."), _("Info"));
}

void SettingsDialog::placementFromButtons(BatchSettings& into) const
{
    for (int i = 0; i < 9; ++i) {
        if (placementButtons[i]->GetValue()) {
            into.wmPlacement = i + 1;
            return;
        }
    }
}

bool SettingsDialog::selectPlacementButton()
{
    if (wmPlacement < 1 || wmPlacement > 9) {
        inform(_("Error in WM placement configuration. Please check your prefs.cfg file."),
               _("Error in prefs.cfg file."));
        return false;
    }
    placementButtons[wmPlacement - 1]->SetValue(true);
    return true;
}

void SettingsDialog::showAlpha()
{
    alphaText->SetValue(formatFixed(alpha, 3));
    alphaSlider->SetValue(sliderPosition(alpha));
}

void SettingsDialog::setAlphaControlsEnabled(bool enabled)
{
    alphaSlider->Enable(enabled);
    alphaLabel->Enable(enabled);
}

void SettingsDialog::updatePreview(const wxImage& image)
{
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    wxImage shown = image;
    if (h > 150 || w > 200) {
        const double f = std::max(w / 200.0, h / 150.0);
        const int width = static_cast<int>(static_cast<float>(w / f));
        const int height = static_cast<int>(static_cast<float>(h / f));
        if (width > 0 && height > 0)
            shown = image.Scale(width, height, wxIMAGE_QUALITY_NORMAL);
    }
    preview->SetBitmap(wxBitmap(shown));
}

void SettingsDialog::onAlphaSlider(wxCommandEvent&)
{
    alphaText->SetValue(formatFixed(alphaSlider->GetValue() / 100.0, 3));
    requestPreview(false);
}

void SettingsDialog::resultsFolderChosen(const wxString& folder)
{
    resultsFolderText->SetValue(folder);
}

bool SettingsDialog::resultsFolderAccepted()
{
    const wxString folder = resultsFolderText->GetValue();
    if (!saveToFolderCheck->GetValue() || (!folder.empty() && wxIsAbsolutePath(folder)))
        return true;
    inform(_("Please choose the folder for the results, as a full path (for example /home/me/web)."),
           _("Save results to folder"));
    return false;
}

void SettingsDialog::stepPreview(int step)
{
    previewIndex_ += step;
    previewStep_ = step < 0 ? -1 : 1;
    requestPreview(false);
}

void SettingsDialog::requestPreview(bool reread)
{
    if (!previewShown_)
        return;
    PreviewRequest request;
    request.folder = utf8(previewFolder);
    BatchSettings& shown = request.settings;
    shown = previewChoices;
    shown.convertToSrgb = convertToSrgbCheck->GetValue();
    shown.watermarkSize = previewPercent(watermarkSizeText, 100, lastValidSize_);
    shown.watermarkMargin = previewPercent(watermarkMarginText, 49, lastValidMargin_);
    readTextMark(shown);
    shown.textSize = previewPercent(textSizeText, 100, lastValidTextSize_);
    shown.autoPlacement = autoPlacementCheck->GetValue();
    shown.autoPlaces = tickedPlaces();
    shown.brightWatermark = utf8(brightWatermarkText->GetValue().Strip(wxString::both));
    shown.sharpening = chosenSharpening();
    shown.outputFormat = outputFormatChoice->GetSelection() == 1 ? "webp" : "jpeg";
    shown.saveToFolder = saveToFolderCheck->GetValue();
    shown.nameTemplate = utf8(nameTemplateText->GetValue().Strip(wxString::both));
    // The watermark being chosen is shown, whether the main window uses it or not.
    shown.useWatermark = true;
    shown.waterImgFile = utf8(waterImgPathText->GetValue());
    shown.alpha = alphaSlider->GetValue() / 100.0;
    alphaText->GetValue().ToCDouble(&shown.alpha);
    placementFromButtons(shown);
    request.index = previewIndex_;
    request.step = previewStep_;
    request.areaWidth = fullSizeWanted_ ? 0 : picturePreview->GetClientSize().GetWidth();
    request.areaHeight = fullSizeWanted_ ? 0 : picturePreview->GetClientSize().GetHeight();
    request.reread = reread;
    previewMaker_->show(request);
}

double SettingsDialog::previewPercent(wxTextCtrl* text, double most, double& lastValid)
{
    const wxString typed = text->GetValue().Strip(wxString::both);
    double value = 0;
    const bool valid = typed.empty() || (typed.ToCDouble(&value) && value >= 0 && value <= most);
    if (valid)
        lastValid = value;
    // Never a result the batch would not make: the field says it is wrong.
    text->SetBackgroundColour(valid ? wxNullColour : invalidFieldColour);
    text->Refresh();
    return lastValid;
}

void SettingsDialog::followTypedWatermark()
{
    if (!previewShown_)
        return;
    wxImage image;
    {
        wxLogNull typedHalfway;
        if (wxFileExists(waterImgPathText->GetValue()))
            image.LoadFile(waterImgPathText->GetValue(), wxBITMAP_TYPE_ANY);
    }
    if (image.IsOk()) {
        setAlphaControlsEnabled(!image.HasAlpha() && !image.HasMask());
        updatePreview(image);
    } else {
        preview->SetBitmap(wxNullBitmap);
    }
    preview->Refresh(true);
}

void SettingsDialog::showFullSize(const wxImage& picture, const wxString& name)
{
    wxDialog window(this, wxID_ANY, name + wxS(" (100 %)"), wxDefaultPosition, wxDefaultSize,
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    auto* scrolled = new wxScrolledWindow(&window);
    auto* bitmap = new wxStaticBitmap(scrolled, wxID_ANY, wxBitmap(picture));
    scrolled->SetVirtualSize(bitmap->GetSize());
    scrolled->SetScrollRate(10, 10);
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    window.SetClientSize(std::min(picture.GetWidth(), screen.width * 9 / 10),
                         std::min(picture.GetHeight(), screen.height * 9 / 10));
    setAccessibleName(scrolled, _("Preview at 100 %"));
    // Not every window manager gives it a close button: Escape and Enter close it.
    window.Bind(wxEVT_CHAR_HOOK, [&window](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
            window.EndModal(wxID_OK);
        else
            event.Skip();
    });
    window.CentreOnParent();
    window.ShowModal();
}

void SettingsDialog::showPreviewPicture()
{
    PreviewPicture shown;
    if (!previewMaker_->take(shown))
        return;
    if (shown.fullSize) {
        fullSizeWanted_ = false;
        if (shown.image.IsOk())
            showFullSize(shown.image, wxFileName(wxString::FromUTF8(shown.path)).GetFullName());
        return;
    }
    previewIndex_ = shown.index;
    picturePreview->SetBitmap(shown.image.IsOk() ? wxBitmap(shown.image) : wxNullBitmap);
    const wxString name = wxFileName(wxString::FromUTF8(shown.path)).GetFullName();
    if (!shown.sample && !shown.resultName.empty())
        previewName->SetLabel(wxString::Format(_("%s (%d of %d)"), name + wxString::FromUTF8(" \u2192 ") +
                                                                       wxString::FromUTF8(shown.resultName),
                                               shown.index + 1, shown.count));
    else if (!shown.sample)
        previewName->SetLabel(wxString::Format(_("%s (%d of %d)"), name, shown.index + 1, shown.count));
    else if (shown.count == 0)
        previewName->SetLabel(_("Sample picture: no pictures in the folder"));
    else
        previewName->SetLabel(_("Sample picture: no picture in the folder can be read"));
    previewName->SetToolTip(wxString::FromUTF8(shown.path));
    // A text mark that cannot be drawn says why where the size stands.
    previewSize->SetLabel(!shown.markProblem.empty()
                              ? wxString::FromUTF8(shown.markProblem)
                              : sizeText(shown.storedWidth, shown.storedHeight) + wxString::FromUTF8(" \u2192 ") +
                                    sizeText(shown.width, shown.height));
    // Shortened in the middle where it is long: read whole in its tool tip.
    previewSize->SetToolTip(previewSize->GetLabel());
    previousButton->Enable(shown.count > 1);
    nextButton->Enable(shown.count > 1);
    picturePreview->Refresh();
}

void SettingsDialog::onBrowse(wxCommandEvent&)
{
    fileDialog->SetPath(waterImgPathText->GetValue());
    if (fileDialog->ShowModal() != wxID_OK)
        return;
    watermarkChosen(fileDialog->GetPath());
}

void SettingsDialog::watermarkChosen(const wxString& path)
{
    waterImgPathText->SetValue(path);
    waterImgFile = utf8(path);
    preview->SetBitmap(wxNullBitmap);

    wxImage image;
    if (!loadShownWatermark(image))
        return;
    if (image.IsOk() && image.HasAlpha()) {
        setAlphaControlsEnabled(false);
        inform(_("The picture you have selected does contain alpha channel, it will be used. \n\nSetting in the "
                   "upper left corner ( Alpha [0.0 - 1.0] ) will not be used."),
               _("Info"));
    } else if (image.IsOk() && image.HasMask()) {
        setAlphaControlsEnabled(false);
        inform(_("The picture you have selected does contain mask, it will be used. \n\nSetting in the upper left "
                   "corner ( Alpha [0.0 - 1.0] ) will not be used."),
               _("Info"));
    } else {
        setAlphaControlsEnabled(true);
        inform(_("The picture you have selected does not contain alpha channel. \n\nPlease check the Alpha "
                   "channel setting in the upper left corner ( Alpha [0.0 - 1.0] )."),
               _("Info"));
    }
    showPreview(image);
    Layout();
}

void SettingsDialog::layOutPages()
{
    // Before the notebook is first on screen the toolkit gives its pages no
    // size: each takes what its controls need, as the dialog does.
    for (std::size_t i = 0; i < pages->GetPageCount(); ++i) {
        wxWindow* page = pages->GetPage(i);
        page->InvalidateBestSize();
        page->SetSize(page->GetBestSize());
        page->Layout();
    }
}

void SettingsDialog::onSize(wxSizeEvent& event)
{
    // A long watermark path can be read whole in a wider dialog.
    const int grown = std::max(0, event.GetSize().x - firstWidth_);
    waterImgPathText->SetMinSize(wxSize(pathWidth + grown / 2, waterImgPathText->GetMinSize().y));
    // Its page, and so the pages, widen with it.
    pages->InvalidateBestSize();
    layOutPages();
    // The toolkit's own handler lays the dialog out anew.
    event.Skip();
}

void SettingsDialog::onInitDialog(wxInitDialogEvent&)
{
    wxImage image;
    if (loadShownWatermark(image)) {
        setAlphaControlsEnabled(!(image.IsOk() && image.HasAlpha()));
        showPreview(image);
    }
    // Keys need a control to go to, the first one that takes them: without
    // one, Escape and Enter would do nothing.
    // A hidden control takes no keys: with Automatic ticked, the placement
    // buttons are hidden and its check box comes first.
    wxWindow* first = autoPlacementCheck->GetValue() ? static_cast<wxWindow*>(autoPlacementCheck) : okButton;
    for (wxRadioButton* button : placementButtons)
        if (button->GetValue() && button->IsShown())
            first = button;
    (alphaSlider->IsEnabled() ? alphaSlider : first)->SetFocus();
    previewShown_ = true;
    previewIndex_ = 0;
    previewStep_ = 1;
    requestPreview(true);
    // Beside prefs.cfg, wherever the window was started.
    presets_->showFolder(presetsFolderIn(utf8(startupDir)));
}

bool SettingsDialog::loadShownWatermark(wxImage& image)
{
    const wxString path = waterImgPathText->GetValue();
    if (!wxFileExists(path)) {
        inform(missingWatermarkMessage(path), _("Settings dialog"));
        return false;
    }
    // A file that cannot be decoded leaves the image empty; the toolkit
    // reports why.
    image.LoadFile(path, wxBITMAP_TYPE_ANY);
    return true;
}

void SettingsDialog::showPreview(const wxImage& image)
{
    if (image.IsOk())
        updatePreview(image);
    preview->Refresh(true);
}

bool SettingsDialog::readAlpha(double& value)
{
    if (!alphaText->GetValue().ToCDouble(&value)) {
        inform(_("Error processing Alpha. Alpha has to be a number."), _("Error processing Alpha."));
        return false;
    }
    if (value < 0.0 || value > 1.0) {
        inform(_("Error processing Alpha. Alpha has to be inside interval 0.0 - 1.0"),
               _("Error processing Alpha."));
        return false;
    }
    return true;
}

bool SettingsDialog::readControls(BatchSettings& into)
{
    double size = 0, margin = 0;
    if (!resultsFolderAccepted() || !readPercent(watermarkSizeText, *rowOfKey("WatermarkSize"), _("Size [%]"), size) ||
        !readPercent(watermarkMarginText, *rowOfKey("WatermarkMargin"), _("Margin [%]"), margin) || !textMarkAccepted(into) ||
        !readOutputControls(into) || !readPlacementChoice(into) || !nameTemplateAccepted(into))
        return false;
    placementFromButtons(into);
    into.skipUnreadable = skipUnreadableCheck->GetValue();
    into.saveToFolder = saveToFolderCheck->GetValue();
    into.resultsFolder = utf8(resultsFolderText->GetValue());
    into.keepExif = keepExifCheck->GetValue();
    into.keepGps = keepGpsCheck->GetValue();
    into.convertToSrgb = convertToSrgbCheck->GetValue();
    into.skipProcessed = skipProcessedCheck->GetValue();
    into.watermarkSize = size;
    into.watermarkMargin = margin;
    return true;
}

bool SettingsDialog::nameTemplateAccepted(BatchSettings& into)
{
    const std::string typed = utf8(nameTemplateText->GetValue().Strip(wxString::both));
    std::string problem;
    if (!settingFromText(*rowOfKey("NameTemplate"), typed, into.nameTemplate, problem)) {
        inform(wxString::FromUTF8(problem), _("File names"));
        return false;
    }
    return true;
}

void SettingsDialog::onOk(wxCommandEvent&)
{
    double value = 0;
    if (!readAlpha(value))
        return;
    alpha = value;
    savedAlpha = alpha;
    waterImgFile = utf8(waterImgPathText->GetValue());
    savedWaterImgFile = waterImgFile;
    if (!readControls(settings()))
        return;
    presetTaken = beforePreset_.has_value();
    beforePreset_.reset();
    const int chosen = languageChoice->GetSelection();
    const std::string wanted = chosen > 0 ? spokenLanguages().at(static_cast<std::size_t>(chosen - 1)).code : "";
    if (wanted != language) {
        language = wanted;
        inform(_("Tessaly speaks the chosen language from its next start."), _("Language"));
    }
    finish(wxID_OK);
}

bool SettingsDialog::readForPreset(BatchSettings& into)
{
    // The main window's choices, completed by what this dialog's controls hold.
    into = previewChoices;
    if (!readAlpha(into.alpha) || !readControls(into))
        return false;
    into.waterImgFile = utf8(waterImgPathText->GetValue());
    return true;
}

void SettingsDialog::takePreset(const BatchSettings& preset)
{
    if (!beforePreset_)
        beforePreset_ = settings();
    settings() = preset;
    previewChoices = preset;
    waterImgPathText->SetValue(wxString::FromUTF8(waterImgFile));
    selectPlacementButton();
    showAlpha();
    showOptions();
    requestPreview(false);
}

void SettingsDialog::onCancel(wxCommandEvent&)
{
    // A preset taken and then cancelled leaves the settings as they were.
    if (beforePreset_)
        settings() = *beforePreset_;
    beforePreset_.reset();
    waterImgFile = savedWaterImgFile;
    waterImgPathText->SetValue(wxString::FromUTF8(waterImgFile));
    selectPlacementButton();
    alpha = savedAlpha;
    showAlpha();
    showOptions();
    showLanguage();
    finish(wxID_CANCEL);
}

void SettingsDialog::finish(int code)
{
    previewShown_ = false;
    if (IsModal())
        EndModal(code);
    else
        Hide();
}
