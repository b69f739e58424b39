// SDL's video system for the real backend: started by the first call that
// needs it, with SDL's own reason kept when it cannot start, and the GL
// library that SDL and the GL module share. Main thread only.
#pragma once

#include <string>

namespace platform {

class SdlVideo {
public:
    // Starts video on first use; false, with the reason kept, when SDL cannot.
    bool Ready();
    // Loads libGL.so.1 through SDL once, before the first GL window.
    bool GlLibraryReady();
    // True when someone could see a window or a box: a display server and a
    // driver that shows things.
    bool RealDisplay();
    // SDL's words, one line, for the last start that failed; empty otherwise.
    const std::string& StartFailure() const { return startFailure_; }
    // Unloads the GL library and stops video; Ready starts it again.
    void Close();

private:
    bool started_ = false;
    bool glLibraryLoaded_ = false;
    std::string startFailure_;
};

}  // namespace platform
