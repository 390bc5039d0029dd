#pragma once

#include <functional>

#include <wx/dnd.h>

// Takes a folder dropped from the file manager and hands it over; files
// are not taken.
class FolderDropTarget : public wxFileDropTarget {
public:
    explicit FolderDropTarget(std::function<void(const wxString&)> select);

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

private:
    std::function<void(const wxString&)> select_;
};
