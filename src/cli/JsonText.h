#pragma once

#include <string>

// The text as a JSON string, quotes included: quotes, backslashes and
// control characters escaped, everything else (UTF-8) as it is, but for
// bytes that are not UTF-8, which become U+FFFD (see wellFormed).
std::string jsonText(const std::string& text);

// A path under the key: "key": its text, and where the path is not UTF-8
// (a Latin-1 name from an old camera card) its very bytes as well, in
// base64 under "keyBytes", so that a script can still find the file.
std::string jsonPath(const std::string& key, const std::string& path);

std::string jsonFlag(bool value);
