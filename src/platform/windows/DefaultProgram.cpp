#include "platform/DefaultProgram.h"

#include "platform/windows/WideText.h"

#include <shlwapi.h>

bool hasDefaultProgramFor(const std::string& extension)
{
    wchar_t program[MAX_PATH];
    DWORD size = MAX_PATH;
    return AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE, wideName(extension).c_str(), L"open",
                             program, &size) == S_OK;
}
