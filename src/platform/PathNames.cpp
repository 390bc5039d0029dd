#include "platform/PathNames.h"

#include <algorithm>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/FileStamp.h"
#include "text/NameKey.h"

namespace {

#ifdef _WIN32
constexpr bool windowsNames = true;
const char* const separators = "/\\";
#else
constexpr bool windowsNames = false;
const char* const separators = "/";
#endif

// The root a path starts with, separators made "/": "/", "C:/", "C:" (a
// drive's current folder), "//server/share/"; "" for a relative path.
std::string rootOf(const std::string& path, std::size_t& length)
{
    length = 0;
    if (windowsNames && path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // "//server/share/": both names belong to the root.
        std::size_t end = 2;
        for (int names = 0; names < 2 && end < path.size(); ++names) {
            while (end < path.size() && !isSeparator(path[end]))
                ++end;
            if (names == 0 && end < path.size())
                ++end;
        }
        length = end;
        std::string root = "//" + path.substr(2, end - 2);
        std::replace(root.begin(), root.end(), '\\', '/');
        return root + "/";
    }
    if (windowsNames && path.size() >= 2 && path[1] == ':') {
        length = 2;
        if (path.size() > 2 && isSeparator(path[2])) {
            length = 3;
            return path.substr(0, 2) + "/";
        }
        return path.substr(0, 2);
    }
    if (!path.empty() && isSeparator(path[0])) {
        length = 1;
        return "/";
    }
    return "";
}

bool absolute(const std::string& path)
{
    std::size_t length = 0;
    const std::string root = rootOf(path, length);
    return !root.empty() && root.back() == '/';
}

// The same name to the system: on Windows letter case and normal form aside.
bool sameName(const std::string& one, const std::string& other)
{
    return windowsNames ? nameKey(one) == nameKey(other) : one == other;
}

}  // namespace

bool isSeparator(char c)
{
    return c == '/' || (windowsNames && c == '\\');
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder + (isSeparator(folder.back()) ? "" : "/") + name;
}

std::string baseName(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 1 && isSeparator(path[end - 1]))
        --end;
    const std::size_t slash = path.find_last_of(separators, end - (end > 0 ? 1 : 0));
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return start >= end ? std::string() : path.substr(start, end - start);
}

std::string extensionOf(const std::string& path)
{
    const std::string name = baseName(path);
    const std::size_t dot = name.rfind('.');
    // "." and ".." name folders, not files with an ending.
    const bool dots = name.find_first_not_of('.') == std::string::npos;
    return dot == std::string::npos || dot == 0 || dots ? std::string() : name.substr(dot);
}

std::string stemOf(const std::string& path)
{
    const std::string name = baseName(path);
    return name.substr(0, name.size() - extensionOf(name).size());
}

std::string folderOf(const std::string& path)
{
    std::size_t end = path.find_last_of(separators);
    if (end == std::string::npos)
        return ".";
    if (end == 0 || (windowsNames && end == 2 && path[1] == ':'))
        ++end;
    return path.substr(0, end);
}

std::string relativePath(const std::string& folder, const std::string& path)
{
    std::size_t start = std::min(folder.size(), path.size());
    while (start < path.size() && isSeparator(path[start]))
        ++start;
    return path.substr(start);
}

std::string normalPath(const std::string& path)
{
    std::size_t length = 0;
    const std::string root = rootOf(path, length);
    std::vector<std::string> names;
    for (std::size_t start = length; start <= path.size();) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string name = path.substr(start, end - start);
        if (name == "..") {
            if (!names.empty() && names.back() != "..")
                names.pop_back();
            else if (root.empty() || root.back() != '/')
                names.push_back(name);  // above a relative start: kept, as the system would go there
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string out = root;
    for (std::size_t i = 0; i < names.size(); ++i)
        out += (i == 0 ? "" : "/") + names[i];
    return out.empty() ? "." : out;
}

std::string decidedPath(const std::string& path)
{
    std::string full = normalPath(absolute(path) ? path : joinPath(fullPath("."), path));
    // The nearest part that is there, resolved; the rest as written.
    std::string rest;
    for (;;) {
        const std::string real = canonicalPath(full);
        if (!real.empty())
            return rest.empty() ? real : joinPath(real, rest);
        const std::string up = folderOf(full);
        if (up == full || up == ".")
            return joinPath(full, rest);
        const std::string name = baseName(full);
        rest = rest.empty() ? name : name + "/" + rest;
        full = up;
    }
}

bool samePlace(const std::string& one, const std::string& other)
{
    if (sameName(decidedPath(one), decidedPath(other)))
        return true;
    const FileStamp first = fileStamp(one);
    const FileStamp second = fileStamp(other);
    return first.size >= 0 && second.size >= 0 && first.inode != 0 && first.device == second.device &&
           first.inode == second.inode;
}

bool liesWithin(const std::string& inner, const std::string& outer)
{
    const std::string in = decidedPath(inner), out = decidedPath(outer);
    if (in.size() < out.size() || !sameName(in.substr(0, out.size()), out))
        return false;
    return in.size() == out.size() || isSeparator(out.back()) || isSeparator(in[out.size()]);
}

std::string fullPath(const std::string& path)
{
    const std::string full = canonicalPath(path);
    return full.empty() ? path : full;
}

std::string folderName(const std::string& folder)
{
    return baseName(fullPath(folder));
}

std::string shownPath(std::string path)
{
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}
