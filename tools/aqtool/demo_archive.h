// The demo's archive and names as the tool's commands see them: they read data
// the way the demo does, from "dovra.kzp" in the working directory when it is
// there, else from loose files, by names spelled as the demo spells them.
#pragma once

#include <string>

namespace aqtool {

// A name as a Linux user types it, '/' between folders, in the demo's own
// spelling with '\' (data/intro/cut1.scn is "data\intro\cut1.scn").
std::string DemoName(std::string typed);

// Opens "dovra.kzp" when the working directory holds it. False (reported)
// only when it is there but cannot be opened.
bool OpenDemoArchive();

}  // namespace aqtool
