#include "platform/TemporaryName.h"

#include <algorithm>
#include <random>

std::string temporaryName(const std::string& name, std::size_t limit, const char* what)
{
    static thread_local std::mt19937 random(std::random_device{}());
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix = std::string(".tessaly-") + what + "-";
    for (int i = 0; i < 6; ++i)
        suffix += letters[random() % (sizeof letters - 1)];
    std::size_t keep = std::min(name.size(), limit - 1 - suffix.size());
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + suffix;
}
