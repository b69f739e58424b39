// The show module: the acts in play order, timed for the generator's report.
#include "tools/datagen/show/show_module.h"

#include <chrono>
#include <cstdio>

#include "host/error.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/shot.h"

namespace {

struct ActWriter {
    const char* name;
    bool (*write)(const std::string& root);
};

constexpr ActWriter ACT_WRITERS[] = {
    {"common", WriteCommon},    {"intro", WriteIntro}, {"startpit", WriteStartPit}, {"canyon", WriteCanyon},
    {"overlay5", WriteOverlays}, {"podrace_bigwall", WriteBigWall}, {"city1", WriteCity},
    {"garage", WriteGarage},    {"goal", WriteGoal},   {"scrolltext", WriteScrollText},
};

}  // namespace

bool WriteShow(const std::string& root)
{
    const auto start = std::chrono::steady_clock::now();
    for (const ActWriter& act : ACT_WRITERS) {
        if (!act.write(root)) {
            Error::Report(3, "WriteShow: The act ", act.name, " could not be made\n");
            return false;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("the show: %d scenes written in %.1f s\n", Shot::Written(), seconds);
    return true;
}
