#include "platform/SettingsFolder.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

std::string settingsFolder()
{
    return std::string();
}

bool enterFolder(const std::string& folder, std::string& why)
{
    if ((mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) && chdir(folder.c_str()) == 0)
        return true;
    why = std::strerror(errno);
    return false;
}
