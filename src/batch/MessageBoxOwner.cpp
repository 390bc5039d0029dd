#include "batch/MessageBoxOwner.h"

#include <wx/msgdlg.h>

#include "batch/BatchStatistics.h"
#include "batch/PictureReport.h"

void MessageBoxOwner::qualityUnreadable(const wxString&)
{
    showMessage(wxS("Error when converting quality value."), wxS("Error."));
}

void MessageBoxOwner::folderUnreadable(const wxString&)
{
    showMessage(wxS("Directory can not be opened."), wxS("Error 01"));
}

bool MessageBoxOwner::confirm(const wxString& folder, int count)
{
    return askYesNo(wxS("Do you really want to process all JPG pictures in directory: \n\n") + folder +
                        wxS("\n\nNumber of files about to processed: ") + wxString::Format(wxS("%i"), count),
                    wxS("Tessaly 1.0"));
}

void MessageBoxOwner::placementFallback(const wxString& message, const wxString& caption)
{
    showMessage(message, caption);
}

void MessageBoxOwner::pictureDone(const PictureReport& report)
{
    if (report.outcome == PictureReport::Outcome::notWritten)
        showMessage(wxS("Watermarked image could not been saved."), wxMessageBoxCaptionStr);
    else if (report.outcome == PictureReport::Outcome::unreadable && report.endsBatch)
        showMessage(wxS("File could not be opened."), wxS("Error 02"));
}

void MessageBoxOwner::finished(const BatchStatistics& s)
{
    wxString text = wxString::Format(wxS("Pictures has been processed corretly.\n\nResized: %i\nRotated: "
                                         "%i\nWatermarked: %i"),
                                     s.resized, s.rotated, s.watermarked);
    if (s.wentOnPastUnreadable)
        text += wxString::Format(wxS("\nSkipped (cannot be read): %i"), s.skipped);
    showMessage(text, wxS("Processing statistics"));
}
