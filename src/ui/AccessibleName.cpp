#include "ui/AccessibleName.h"

#include <wx/window.h>

#ifdef __WXMSW__

#include <wx/access.h>

namespace {

// The name a screen reader asks for through MSAA.
class NamedAccessible : public wxAccessible {
public:
    NamedAccessible(wxWindow* window, const wxString& name) : wxAccessible(window), name_(name) {}

    wxAccStatus GetName(int childId, wxString* name) override
    {
        if (childId != wxACC_SELF)
            return wxACC_NOT_IMPLEMENTED;
        *name = name_;
        return wxACC_OK;
    }

private:
    wxString name_;
};

}  // namespace

void setAccessibleName(wxWindow* window, const wxString& name)
{
    window->SetAccessible(new NamedAccessible(window, name));
}

void oneTabStop(wxWindow*)
{
}

#else

#include <gtk/gtk.h>

namespace {

void nameWidget(GtkWidget* widget, const char* name)
{
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
    if (!GTK_IS_CONTAINER(widget))
        return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child; child = child->next)
        nameWidget(GTK_WIDGET(child->data), name);
    g_list_free(children);
}

}  // namespace

void setAccessibleName(wxWindow* window, const wxString& name)
{
    if (GtkWidget* widget = window->GetHandle())
        nameWidget(widget, name.utf8_str());
}

// The arrow is an internal child, which only forall reaches, in a box of
// its own.
void leaveOutOfTabs(GtkWidget* widget, gpointer)
{
    if (GTK_IS_TOGGLE_BUTTON(widget))
        gtk_widget_set_can_focus(widget, FALSE);
    else if (GTK_IS_CONTAINER(widget) && !GTK_IS_ENTRY(widget))
        gtk_container_forall(GTK_CONTAINER(widget), leaveOutOfTabs, nullptr);
}

void oneTabStop(wxWindow* comboBox)
{
    if (GtkWidget* widget = comboBox->GetHandle(); widget && GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), leaveOutOfTabs, nullptr);
}

#endif
