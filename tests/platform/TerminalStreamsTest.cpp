#include <cstdio>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
constexpr const char* nullDevice = "NUL";
#else
#include <unistd.h>
constexpr const char* nullDevice = "/dev/null";
#endif

#include "platform/TerminalStreams.h"

namespace {

// The null device is a character device but no terminal: progress drawn
// there would be drawn for nobody, a character at a time.
TEST(TerminalStreams, TheNullDeviceIsNoTerminal)
{
    std::fflush(stderr);
    const int saved = dup(2);
    ASSERT_GE(saved, 0);
    ASSERT_NE(std::freopen(nullDevice, "w", stderr), nullptr);
    const bool terminal = errorIsTerminal();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_FALSE(terminal);
}

}  // namespace
