#include "ui/CorvaneApp.h"

#include <wx/image.h>

#include "ui/CorvaneDialog.h"

bool CorvaneApp::ranDialog = false;

bool CorvaneApp::OnInit()
{
    wxInitAllImageHandlers();
    {
        CorvaneDialog dialog(nullptr);
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    ranDialog = true;
    return false;
}
