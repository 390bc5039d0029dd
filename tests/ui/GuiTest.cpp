#include "ui/GuiTest.h"

#include <cstdio>
#include <memory>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>

void GuiTest::TearDown()
{
    wxYield();
}

TempDir& GuiTest::lastingFolder()
{
    static std::vector<std::unique_ptr<TempDir>> folders;
    folders.push_back(std::make_unique<TempDir>());
    return *folders.back();
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
