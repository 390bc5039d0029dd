#include "ui/GuiTest.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/button.h>

void GuiTest::TearDown()
{
    wxYield();
}

void GuiTest::writePrefs(const std::string& text)
{
    std::FILE* f = std::fopen("prefs.cfg", "wb");
    std::fputs(text.c_str(), f);
    std::fclose(f);
}

void click(wxButton* button)
{
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}
