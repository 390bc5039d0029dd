#include "ui/MessageBoxOwner.h"

#include <wx/msgdlg.h>

#include "Version.h"
#include "batch/BatchStatistics.h"
#include "batch/PictureReport.h"

void MessageBoxOwner::folderUnreadable(const wxString&)
{
    showMessage(_("Directory can not be opened."), _("Error 01"));
}

bool MessageBoxOwner::showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString&,
                                              const wxString&)
{
    showMessage(message, caption);
    return false;
}

void MessageBoxOwner::folderUnwritable(const wxString& folder, const wxString& reason)
{
    showMessage(wxString::Format(_("The pictures cannot be saved in the folder:\n\n%s\n\n%s. Nothing has been processed."),
                                 folder, reason),
                wxS("Tessaly " TESSALY_VERSION));
}

bool MessageBoxOwner::confirm(const wxString& folder, int count, const wxString& outputFolder)
{
    saveFailuresSilenced_ = false;
    wxString question = wxString::Format(
        _("Do you really want to process all JPG pictures in directory: \n\n%s\n\nNumber of files about to processed: %i"),
        folder, count);
    // Only WebP results go into the folder processed: beside the pictures.
    if (outputFolder == folder)
        question += _("\nThe WebP results are written beside the pictures, which stay as they are.");
    else if (!outputFolder.empty())
        question += wxString::Format(_("\nResults go to: %s"), outputFolder);
    return askYesNo(question, wxS("Tessaly 1.0"));
}

bool MessageBoxOwner::replaceExisting(const wxString& outputFolder, int count)
{
    return askYesNo(wxString::Format(_("%i of the results are already in the folder:\n\n%s\n\nReplace them? Answer No "
                                       "to leave them as they are and skip those pictures."),
                                     count, outputFolder),
                    wxS("Tessaly " TESSALY_VERSION));
}

bool MessageBoxOwner::useSubfolder(const wxString& outputFolder, int earlier, int others, const wxString& subfolder)
{
    return askYesNo(wxString::Format(_("%i of the results have names already taken in the folder:\n\n%s\n\n%i of "
                                       "them are earlier results of these pictures, %i are other files: results of "
                                       "other pictures, or files of your own.\n\nPut the results of this folder "
                                       "below %s instead? Answer No to leave every file there as it is and skip "
                                       "those pictures."),
                                     earlier + others, outputFolder, earlier, others, subfolder),
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

void MessageBoxOwner::textMarksEmpty(int pictures)
{
    showMessage(wxString::Format(wxPLURAL("%d picture has none of the watermark text's tokens and was not marked.",
                                          "%d pictures have none of the watermark text's tokens and were not marked.",
                                          pictures),
                                 pictures),
                _("Watermark text"));
}

void MessageBoxOwner::pictureDone(const PictureReport& report)
{
    // A folder of pictures that all fail would be a box for each: the user
    // may count the rest without one.
    if (report.outcome == PictureReport::Outcome::notWritten && !saveFailuresSilenced_)
        saveFailuresSilenced_ = showMessageWithCheckBox(
            _("Watermarked image could not been saved."), _("Message"),
            wxString::FromUTF8(report.plan.target + ": " + report.reason), _("Do not show this again in this batch"));
    else if (report.outcome == PictureReport::Outcome::unreadable && report.endsBatch)
        showMessage(_("File could not be opened."), _("Error 02"));
}

void MessageBoxOwner::finished(const BatchStatistics& s)
{
    // Never "processed correctly" over pictures that were not saved.
    const wxString outcome =
        s.notSaved == 0 ? _("Pictures has been processed corretly.")
                        : wxString::Format(_("Not every picture could be saved.\n\nNot saved: %i, the first: %s"),
                                           s.notSaved, wxString::FromUTF8(s.firstNotSaved));
    wxString text = outcome + wxString::Format(_("\n\nResized: %i\nRotated: %i\nWatermarked: %i"), s.resized,
                                               s.rotated, s.watermarked);
    if (s.wentOnPastUnreadable)
        text += wxString::Format(_("\nSkipped (cannot be read): %i"), s.skipped);
    if (s.alreadyProcessed > 0)
        text += wxString::Format(_("\nSkipped (already processed): %i"), s.alreadyProcessed);
    if (s.alreadyThere > 0)
        text += wxString::Format(_("\nSkipped (already in the results folder): %i"), s.alreadyThere);
    if (s.overLimit > 0)
        text += wxString::Format(_("\nOver the size limit at the lowest quality: %i, the first: %s"), s.overLimit,
                                 wxString::FromUTF8(s.firstOverLimit));
    showMessage(text, _("Processing statistics"));
}
