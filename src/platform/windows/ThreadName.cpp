#include "platform/ThreadName.h"

#include "platform/windows/WideText.h"

// Windows 10's, in kernel32; mingw-w64's headers do not declare it yet.
extern "C" __declspec(dllimport) HRESULT WINAPI SetThreadDescription(HANDLE thread, PCWSTR description);

void nameThisThread(const char* name)
{
    SetThreadDescription(GetCurrentThread(), wideName(name).c_str());
}
