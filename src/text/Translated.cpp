#include "text/Translated.h"

std::string said(const wxString& text)
{
    return text.utf8_string();
}
