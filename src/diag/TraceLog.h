#pragma once

#include <cstdio>
#include <string>

// Line-oriented diagnostic log. Every line is flushed at once so that the
// file is complete even when the program dies right after writing it.
// A disabled log opens no file and ignores every write.
class TraceLog {
public:
    TraceLog(const std::string& path, bool enabled);
    ~TraceLog();

    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    void write(const char* label, const char* text);   // "label: text \n"
    void write(const char* text);                       // "text \n"
    void write(const std::string& label, int value);    // "label: value\n"
    void write(const std::string& text);                // "text \n"
    void write(float value);                            // "%.4g \n"
    void write(int value);                              // "value \n"

    bool enabled() const { return enabled_; }
    // False for an enabled log whose file could not be opened.
    bool isOpen() const { return file_ != nullptr; }

private:
    void open(const std::string& path);
    void writeLine(const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::FILE* file_ = nullptr;
    bool enabled_;
};
