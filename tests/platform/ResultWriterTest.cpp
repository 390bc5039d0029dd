#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "TempDir.h"
#include "platform/ResultWriter.h"

namespace {

// Another program may create the result while it is being written: the
// check before the write has passed by then, and only the rename itself
// can still refuse to replace it. A watcher creates the file the moment the
// temporary one appears.
TEST(ResultWriter, AResultThatAppearsDuringTheWriteIsReplacedOnlyWhenAllowed)
{
    for (const bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite ? "overwrite" : "no overwrite");
        TempDir dir;
        const int watch = inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
        std::thread other([&] {
            alignas(inotify_event) char events[4096];
            if (read(watch, events, sizeof events) > 0)
                std::ofstream(dir.file("a.jpg")) << "theirs";
        });
        const std::vector<unsigned char> ours(8 << 20, 0x5A);
        std::string problem;
        const bool written =
            ResultWriter(dir.path()).write("a.jpg", ours, overwrite, timespec{}, problem) == WriteOutcome::written;
        other.join();
        close(watch);
        EXPECT_EQ(written, overwrite) << problem;
        EXPECT_EQ(std::filesystem::file_size(dir.file("a.jpg")), overwrite ? ours.size() : 6u);
        if (!overwrite) {
            EXPECT_EQ(problem, "not written: " + dir.file("a.jpg") + " already exists");
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file left";
    }
}

}  // namespace
