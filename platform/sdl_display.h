// Display modes of the real backend and the shape of the window that shows
// the frame. A change is answered as Windows answers it (success only for a
// mode the display offers exactly); the switch itself happens when the
// full-screen window appears, or at once when it exists. Without a mode in
// force the full-screen window covers the desktop in its own mode and the
// frame is scaled onto it; a user who set AQUARIUM_WINDOW gets a resizable
// window instead and the display is left alone. Main thread; video running.
#pragma once

#include <SDL.h>

#include <optional>

#include "platform/platform.h"
#include "platform/sdl_windows.h"

namespace platform {

// The picture is shown in a resizable window from now on, as AQUARIUM_WINDOW asks.
void ChooseWindow();

class SdlDisplay {
public:
    // The index-th mode SDL lists; false past the last.
    bool Enumerate(std::uint32_t index, DisplayMode& mode) const;
    // DISP_CHANGE_* for mode; a null mode goes back to the desktop mode.
    // window, when its SDL window exists, is switched at once.
    int Change(const DisplayMode* mode, WindowRecord* window);
    // Makes window's SDL window in the shape the display calls for.
    bool Open(WindowRecord& window);
    // Shows or hides window's SDL window; a mode that does not take on
    // showing leaves the window on the desktop, and the error text says so.
    void Show(WindowRecord& window);

private:
    struct ModeInForce {
        SDL_DisplayMode sdl;  // as SDL lists it, "any" members filled in
        DisplayMode asked;    // what the change asked for, for the message
    };

    bool InForce(const WindowRecord& window) const;
    bool Enter(const WindowRecord& window) const;
    bool Took(const WindowRecord& window) const;
    void LeaveForDesktop(const WindowRecord& window) const;

    std::optional<ModeInForce> inForce_;  // the mode the display is or will be in
};

}  // namespace platform
