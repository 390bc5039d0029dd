#include "ui/AccessibleName.h"

#include <gtk/gtk.h>
#include <wx/window.h>

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
