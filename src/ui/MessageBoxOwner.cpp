#include "ui/MessageBoxOwner.h"

#include <wx/msgdlg.h>

#include "Version.h"
#include "batch/BatchStatistics.h"
#include "batch/PictureReport.h"

void MessageBoxOwner::folderUnreadable(const wxString&)
{
    showMessage(wxS("Directory can not be opened."), wxS("Error 01"));
}

bool MessageBoxOwner::showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString&,
                                              const wxString&)
{
    showMessage(message, caption);
    return false;
}

void MessageBoxOwner::folderUnwritable(const wxString& folder, const wxString& reason)
{
    showMessage(wxS("The pictures cannot be saved in the folder:\n\n") + folder + wxS("\n\n") + reason +
                    wxS(". Nothing has been processed."),
                wxS("Tessaly " TESSALY_VERSION));
}

bool MessageBoxOwner::confirm(const wxString& folder, int count, const wxString& outputFolder)
{
    saveFailuresSilenced_ = false;
    wxString question = wxS("Do you really want to process all JPG pictures in directory: \n\n") + folder +
                        wxS("\n\nNumber of files about to processed: ") + wxString::Format(wxS("%i"), count);
    // Only WebP results go into the folder processed: beside the pictures.
    if (outputFolder == folder)
        question += _("\nThe WebP results are written beside the pictures, which stay as they are.");
    else if (!outputFolder.empty())
        question += wxS("\nResults go to: ") + outputFolder;
    return askYesNo(question, wxS("Tessaly 1.0"));
}

bool MessageBoxOwner::replaceExisting(const wxString& outputFolder, int count)
{
    return askYesNo(wxString::Format(wxS("%i of the results are already in the folder:\n\n"), count) + outputFolder +
                        wxS("\n\nReplace them? Answer No to leave them as they are and skip those pictures."),
                    wxS("Tessaly " TESSALY_VERSION));
}

bool MessageBoxOwner::useSubfolder(const wxString& outputFolder, int earlier, int others, const wxString& subfolder)
{
    return askYesNo(wxString::Format(wxS("%i of the results have names already taken in the folder:\n\n"),
                                     earlier + others) +
                        outputFolder +
                        wxString::Format(wxS("\n\n%i of them are earlier results of these pictures, %i are other "
                                             "files: results of other pictures, or files of your own.\n\n"),
                                         earlier, others) +
                        wxS("Put the results of this folder below ") + subfolder +
                        wxS(" instead? Answer No to leave every file there as it is and skip those pictures."),
                    wxS("Tessaly " TESSALY_VERSION));
}

void MessageBoxOwner::placementFallback(const wxString& message, const wxString& caption)
{
    showMessage(message, caption);
}

void MessageBoxOwner::charactersMissing(const wxString& characters)
{
    showMessage(wxString::Format(_("The fonts have no letters for %s, which were left out of the watermark text."),
                                 characters),
                _("Watermark text"));
}

void MessageBoxOwner::pictureDone(const PictureReport& report)
{
    // A folder of pictures that all fail would be a box for each: the user
    // may count the rest without one.
    if (report.outcome == PictureReport::Outcome::notWritten && !saveFailuresSilenced_)
        saveFailuresSilenced_ = showMessageWithCheckBox(
            wxS("Watermarked image could not been saved."), wxMessageBoxCaptionStr,
            wxString::FromUTF8(report.plan.target + ": " + report.reason), wxS("Do not show this again in this batch"));
    else if (report.outcome == PictureReport::Outcome::unreadable && report.endsBatch)
        showMessage(wxS("File could not be opened."), wxS("Error 02"));
}

void MessageBoxOwner::finished(const BatchStatistics& s)
{
    // Never "processed correctly" over pictures that were not saved.
    const wxString outcome =
        s.notSaved == 0 ? wxString(wxS("Pictures has been processed corretly."))
                        : wxString::Format(wxS("Not every picture could be saved.\n\nNot saved: %i, the first: "),
                                           s.notSaved) +
                              wxString::FromUTF8(s.firstNotSaved);
    wxString text = outcome + wxString::Format(wxS("\n\nResized: %i\nRotated: %i\nWatermarked: %i"), s.resized,
                                               s.rotated, s.watermarked);
    if (s.wentOnPastUnreadable)
        text += wxString::Format(wxS("\nSkipped (cannot be read): %i"), s.skipped);
    if (s.alreadyProcessed > 0)
        text += wxString::Format(wxS("\nSkipped (already processed): %i"), s.alreadyProcessed);
    if (s.alreadyThere > 0)
        text += wxString::Format(wxS("\nSkipped (already in the results folder): %i"), s.alreadyThere);
    if (s.overLimit > 0)
        text += wxString::Format(_("\nOver the size limit at the lowest quality: %i, the first: "), s.overLimit) +
                wxString::FromUTF8(s.firstOverLimit);
    showMessage(text, wxS("Processing statistics"));
}
