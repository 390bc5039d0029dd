#pragma once

#include "batch/BatchOwner.h"

// The window's words for a batch's events: the fixed texts, captions and
// order of its message boxes. An owner that shows boxes implements the two
// requests below and gets every event told as the window tells it.
class MessageBoxOwner : public BatchOwner {
public:
    // A modal Yes/No question; true only for Yes.
    virtual bool askYesNo(const wxString& message, const wxString& caption) = 0;
    // A modal box with an OK button.
    virtual void showMessage(const wxString& message, const wxString& caption) = 0;
    // The same with details below the message and a check box with the
    // label given; true when the user ticked it. An owner that cannot show
    // one shows the plain box.
    virtual bool showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString& details,
                                         const wxString& checkBox);

    void folderUnreadable(const wxString& folder) override;
    void folderUnwritable(const wxString& folder, const wxString& reason) override;
    bool confirm(const wxString& folder, int count, const wxString& outputFolder) override;
    bool replaceExisting(const wxString& outputFolder, int count) override;
    bool useSubfolder(const wxString& outputFolder, int earlier, int others, const wxString& subfolder) override;
    void placementFallback(const wxString& message, const wxString& caption) override;
    void charactersMissing(const wxString& characters) override;
    void textMarksEmpty(int pictures) override;
    void pictureDone(const PictureReport& report) override;
    void finished(const BatchStatistics& statistics) override;

private:
    // The user asked for no more save-failure boxes in this batch.
    bool saveFailuresSilenced_ = false;
};
