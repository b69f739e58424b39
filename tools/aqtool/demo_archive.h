// The demo's archive as the tool's commands see it: they read data the way the
// demo does, from "dovra.kzp" in the working directory when it is there, else
// from loose files.
#pragma once

namespace aqtool {

// Opens "dovra.kzp" when the working directory holds it. False (reported)
// only when it is there but cannot be opened.
bool OpenDemoArchive();

}  // namespace aqtool
