#pragma once

#include <cstdio>
#include <string>

// A fresh folder below the system's temporary folder, removed with all it
// holds when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Makes a folder the working directory for as long as it lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::string previous_;
};

std::string readFile(const std::string& path);
// A path with the system's own separator, as the folder tree gives it:
// "\" on Windows.
std::string nativePath(const std::string& path);
// The bytes of a text file holding the text: the logs are text files, with
// Windows' CR LF line ends there.
std::string textFile(const std::string& text);
// A stream that reads a copy of the bytes, gone when it is closed.
std::FILE* streamOf(const void* data, std::size_t size);
bool fileExists(const std::string& path);
