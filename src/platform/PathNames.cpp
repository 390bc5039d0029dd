#include "platform/PathNames.h"

#include <algorithm>

#include "platform/FileAccess.h"

namespace {

#ifdef _WIN32
const char* const separators = "/\\";
#else
const char* const separators = "/";
#endif

}  // namespace

std::string folderOf(const std::string& path)
{
    std::size_t end = path.find_last_of(separators);
    if (end == std::string::npos)
        return ".";
    if (end == 0 || (end == 2 && path[1] == ':'))
        ++end;
    return path.substr(0, end);
}

std::string fullPath(const std::string& path)
{
    const std::string full = canonicalPath(path);
    return full.empty() ? path : full;
}

bool sameFolder(const std::string& one, const std::string& other)
{
    const std::string first = canonicalPath(one);
    return !first.empty() && first == canonicalPath(other);
}

std::string folderName(const std::string& folder)
{
    std::string path = fullPath(folder);
    while (path.size() > 1 && std::string(separators).find(path.back()) != std::string::npos)
        path.pop_back();
    return path.substr(path.find_last_of(separators) + 1);
}

std::string shownPath(std::string path)
{
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}
