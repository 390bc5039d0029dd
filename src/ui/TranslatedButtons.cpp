#include "ui/TranslatedButtons.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

void showOwnLabel(wxButton* button, const wxString& english)
{
#ifdef __WXGTK__
    const wxString label = button->GetLabel();
    if (label == english)
        return;
    auto* widget = GTK_BUTTON(button->GetHandle());
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_button_set_use_stock(widget, FALSE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_button_set_label(widget, label.utf8_str());
#else
    (void)button;
    (void)english;
#endif
}

bool askedYes(wxWindow* parent, const wxString& message, const wxString& caption)
{
    wxMessageDialog question(parent, message, caption, wxYES_NO | wxCENTRE);
    question.SetYesNoLabels(_("&Yes"), _("&No"));
    return question.ShowModal() == wxID_YES;
}
