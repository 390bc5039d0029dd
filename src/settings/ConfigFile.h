#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

// Reads a file of 'key = value' lines into a table with typed lookups. The
// caller picks the delimiter, the comment marker and an end sentry: a line
// that contains the sentry ends the reading. A value may go on over the
// following lines that hold no delimiter; a blank line ends it.
class ConfigFile {
public:
    struct file_not_found {
        std::string fileName;
        std::string why;  // in the user's words; empty when the file cannot be opened
        explicit file_not_found(const std::string& name = std::string(), const std::string& reason = std::string())
            : fileName(name), why(reason)
        {
        }
    };

    // Settings fit in a few kilobytes: a file beyond this is none, and so
    // is one with a line beyond longestLine (a text mark's 1000
    // characters, escaped, fit in it several times over).
    static constexpr long long largestFile = 1 << 20;
    static constexpr std::size_t longestLine = 16384;

    // Throws file_not_found when the file cannot be opened, names no
    // regular file (a device, a FIFO: nothing is read from it), is larger
    // than largestFile or has a longer line than longestLine.
    ConfigFile(std::string fileName, std::string delimiter, std::string commentMarker, std::string sentry);

    // Each returns false and leaves out alone when the key is absent.
    bool readValue(const std::string& key, std::string& out) const;
    // False only for FALSE, F, NO, N, 0 and NONE in any letter case.
    bool readValue(const std::string& key, bool& out) const;
    // The leading decimal integer (see leadingInteger); 0 without one,
    // saturated outside 32 bits.
    bool readValue(const std::string& key, int& out) const;
    // The leading decimal number with "." as its point, whatever the locale;
    // 0 without one, the largest finite value of its sign when too large.
    bool readValue(const std::string& key, double& out) const;

    // The keys read, in their order.
    std::vector<std::string> keys() const;
    // The line, counted from 1, where the key's value was set; 0 when absent.
    int lineOf(const std::string& key) const;
    // Whether a line with the sentry ended the reading, not the file's end.
    bool sawSentry() const { return sawSentry_; }

    // Removes leading and trailing " \n\t\v\r\f".
    static void stripWhitespace(std::string& text);

private:
    void load(std::istream& in);
    bool readLine(std::istream& in, std::string& line);

    std::string delimiter_;
    std::string commentMarker_;
    std::string sentry_;
    std::map<std::string, std::string> entries_;
    std::vector<std::string> order_;
    std::map<std::string, int> lines_;
    int linesRead_ = 0;
    bool sawSentry_ = false;
};
