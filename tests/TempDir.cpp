#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
#ifdef _WIN32
    // With "/" between names, as the program builds its paths.
    std::mt19937 random(std::random_device{}());
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
        const fs::path folder = fs::temp_directory_path() / ("tessaly-test-" + std::to_string(random()));
        if (fs::create_directory(folder))
            path_ = folder.generic_u8string();
    }
    if (path_.empty())
        throw std::runtime_error("no temporary folder");
#else
    std::string pattern = (fs::temp_directory_path() / "tessaly-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

WorkingDirectory::WorkingDirectory(const std::string& path) : previous_(fs::current_path().string())
{
    fs::current_path(path);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string nativePath(const std::string& path)
{
#ifdef _WIN32
    std::string native = path;
    for (char& c : native)
        if (c == '/')
            c = '\\';
    return native;
#else
    return path;
#endif
}

std::string textFile(const std::string& text)
{
#ifdef _WIN32
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
#else
    return text;
#endif
}

std::FILE* streamOf(const void* data, std::size_t size)
{
#ifdef _WIN32
    static std::mt19937 random(std::random_device{}());
    const fs::path path = fs::temp_directory_path() / ("tessaly-stream-" + std::to_string(random()));
    std::FILE* stream = _wfopen(path.c_str(), L"w+bD");
#else
    std::FILE* stream = std::tmpfile();
#endif
    if (stream) {
        std::fwrite(data, 1, size, stream);
        std::rewind(stream);
    }
    return stream;
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::u8path(path), error);
}
