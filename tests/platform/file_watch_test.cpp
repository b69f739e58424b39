// The file watch: a change is taken up only once the changed files have all
// stayed as they are for the settling time, on the caller's clock (scripted
// file states, so no case waits); and the real states tell a rewritten, a
// replaced and a removed file from an untouched one.
#include "platform/file_watch.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/fake_disk.h"
#include "tests/support/scratch_directory.h"

namespace platform {
namespace {

constexpr std::uint32_t SETTLE = FileWatch::SETTLE_MS;

// At a time, a file is written or removed, or nothing; then the watch is
// polled, says which files have settled, and its settled files are accepted.
struct Step {
    std::uint32_t at;
    const char* written;  // or null
    const char* removed;  // or null
    std::vector<bool> settled;  // of "a" and "b"
};

struct Story {
    const char* name;
    std::vector<Step> steps;
};

TEST(FileWatch, TakesUpAChangeOnceAndOnlyOnceEveryChangedFileHasSettled)
{
    const Story stories[] = {
        {"an untouched file never settles", {{0, nullptr, nullptr, {false, false}}, {5000, nullptr, nullptr, {false, false}}}},
        {"a write settles after the settling time, not before",
         {{100, "a", nullptr, {false, false}}, {100 + SETTLE - 1, nullptr, nullptr, {false, false}},
          {100 + SETTLE, nullptr, nullptr, {true, false}}}},
        {"a file still being written waits for its last write",
         {{100, "a", nullptr, {false, false}}, {250, "a", nullptr, {false, false}},
          {100 + SETTLE, nullptr, nullptr, {false, false}}, {250 + SETTLE, nullptr, nullptr, {true, false}}}},
        {"a settled file waits for another still being written",
         {{100, "a", nullptr, {false, false}}, {100 + SETTLE, "b", nullptr, {false, false}},
          {100 + 2 * SETTLE, nullptr, nullptr, {true, true}}}},
        {"a removed file settles as gone",
         {{100, nullptr, "b", {false, false}}, {100 + SETTLE, nullptr, nullptr, {false, true}}}},
        {"a file replaced settles after its new self was written",
         {{100, nullptr, "a", {false, false}}, {150, "a", nullptr, {false, false}},
          {150 + SETTLE, nullptr, nullptr, {true, false}}}},
        {"an accepted change is taken up once, the next change again",
         {{0, "a", nullptr, {false, false}}, {SETTLE, nullptr, nullptr, {true, false}},
          {2 * SETTLE, nullptr, nullptr, {false, false}}, {3 * SETTLE, "a", nullptr, {false, false}},
          {4 * SETTLE, nullptr, nullptr, {true, false}}}},
    };
    for (const Story& story : stories) {
        SCOPED_TRACE(story.name);
        ScopedFakeDisk disk;
        disk.fake.Write("a");
        disk.fake.Write("b");
        FileWatch watch;
        ASSERT_EQ(watch.Add("a"), 0u);
        ASSERT_EQ(watch.Add("b"), 1u);
        ASSERT_EQ(watch.Add("a"), 0u) << "a path is watched once";
        for (const Step& step : story.steps) {
            if (step.written != nullptr)
                disk.fake.Write(step.written);
            if (step.removed != nullptr)
                disk.fake.Remove(step.removed);
            const bool any = watch.Poll(step.at);
            SCOPED_TRACE(step.at);
            EXPECT_EQ(any, step.settled[0] || step.settled[1]);
            for (std::size_t i = 0; i < 2; ++i) {
                EXPECT_EQ(watch.Settled(i), step.settled[i]) << i;
                if (watch.Settled(i))
                    watch.Accept(i);
            }
        }
    }
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Each way a file changes gives it another state; reading it gives none.
TEST(FileStates, TheDiskTellsARewrittenAReplacedAndARemovedFileFromAnUntouchedOne)
{
    test_support::ScratchDirectory scratch;
    WriteText("mesh.vob", "first");
    const FileState written = Disk().StateOf("mesh.vob");
    EXPECT_TRUE(written.present);
    EXPECT_EQ(written.size, 5);
    EXPECT_EQ(Disk().StateOf("mesh.vob"), written) << "looking changes nothing";
    std::ifstream("mesh.vob").get();
    EXPECT_EQ(Disk().StateOf("mesh.vob"), written) << "reading changes nothing";

    WriteText("mesh.vob", "second, longer");
    const FileState rewritten = Disk().StateOf("mesh.vob");
    EXPECT_NE(rewritten, written);
    WriteText("new.vob", "second, longer");
    ASSERT_EQ(rename("new.vob", "mesh.vob"), 0);
    EXPECT_NE(Disk().StateOf("mesh.vob"), rewritten) << "another file in its place";
    ASSERT_EQ(remove("mesh.vob"), 0);
    EXPECT_FALSE(Disk().StateOf("mesh.vob").present);
    EXPECT_FALSE(Disk().StateOf("").present);
}

}  // namespace
}  // namespace platform
