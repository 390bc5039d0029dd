#include "platform/SettingsFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

std::string settingsFolder()
{
    return std::string();
}

std::string userSettingsFolder()
{
    // As the tessaly command chooses it; a relative XDG_CONFIG_HOME is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/tessaly";
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.config/tessaly" : std::string();
}

bool enterFolder(const std::string& folder, std::string& why)
{
    if ((mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) && chdir(folder.c_str()) == 0)
        return true;
    why = std::strerror(errno);
    return false;
}
