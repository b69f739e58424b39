// Opening the demo's archive for the commands that read data by the demo's names.
#include "tools/aqtool/demo_archive.h"

#include <algorithm>

#include "pak/pak.h"
#include "platform/files.h"

namespace aqtool {

namespace {
constexpr const char* DEMO_ARCHIVE = "dovra.kzp";
}  // namespace

std::string DemoName(std::string typed)
{
    std::replace(typed.begin(), typed.end(), '/', '\\');
    return typed;
}

bool OpenDemoArchive()
{
    return platform::FindDataFile(DEMO_ARCHIVE).empty() || PAK::Open(DEMO_ARCHIVE) != nullptr;
}

}  // namespace aqtool
