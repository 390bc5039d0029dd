#pragma once

#include <string>

#include <wx/intl.h>
#include <wx/string.h>

#include "text/Utf8Text.h"

// A text in the user's language as UTF-8, for the code that speaks in
// std::string: said(_("cannot read %s"), path). The English text is the
// catalogs' key, and what is said where no catalog has it.
std::string said(const wxString& text);

namespace translated {
// A name that is not UTF-8 would vanish from the message: its stray
// bytes are shown as U+FFFD instead.
inline wxString argument(const std::string& value)
{
    return wxString::FromUTF8(wellFormed(value));
}
template <class T>
const T& argument(const T& value)
{
    return value;
}
}  // namespace translated

template <class... Args>
std::string said(const wxString& format, const Args&... args)
{
    return said(wxString::Format(format, translated::argument(args)...));
}
