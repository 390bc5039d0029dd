#include "ui/FolderDropTarget.h"

#include <wx/filefn.h>

FolderDropTarget::FolderDropTarget(std::function<void(const wxString&)> select) : select_(std::move(select))
{
}

bool FolderDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names)
{
    for (const wxString& name : names) {
        if (wxDirExists(name)) {
            select_(name);
            return true;
        }
    }
    return false;
}
