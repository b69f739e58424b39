// aqtool scenes: the scene table as a person making a scene for a slot needs
// it: where the slot's file goes, when it plays and for how long, and where
// the demo would find it now.
#include <cstdio>

#include "host/timeline.h"
#include "pak/pak.h"
#include "platform/files.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/scene_slot.h"

namespace aqtool {

namespace {

bool ArchiveHolds(const char* name)
{
    for (const PAK* archive = PAK::First(); archive != nullptr; archive = archive->next) {
        if (archive->FindEntry(name) != nullptr)
            return true;
    }
    return false;
}

const char* Holder(const char* name)
{
    const bool archive = ArchiveHolds(name);
    const bool loose = !platform::FindDataFile(name).empty();
    if (archive && loose)
        return "archive, loose";
    if (archive)
        return "archive";
    return loose ? "loose" : "missing";
}

}  // namespace

int Scenes(char* const*)
{
    if (!OpenDemoArchive())
        return Fail();
    std::printf("%5s  %-40s %9s %9s %9s  %s\n", "scene", "file", "start ms", "end ms", "length", "held by");
    for (int scene = 0; scene < SCENE_COUNT; ++scene) {
        const char* const name = SCENE_TABLE[scene];
        std::printf("%5d  %-40s %9u %9u %9u  %s\n", scene, name, SlotStart(scene), SCENE_END_TIMES[scene],
                    SlotLength(scene), Holder(name));
    }
    return std::fflush(stdout) == 0 ? EXIT_OK : EXIT_FAILED;
}

}  // namespace aqtool
