// What a user, or a window manager, does to the top-level windows of an X
// server, found by their title: close one, press Return in one, or anything
// xdotool does.
#pragma once

#include <string>

namespace test_support {

// Sends the window titled title the WM_DELETE_WINDOW request of
// WM_PROTOCOLS, as a window manager does when its close button is clicked.
// False when the display cannot be opened or has no such window.
bool AskToClose(const std::string& display, const char* title);

// Runs xdotool with arguments on display; false when it fails or takes more
// than half a minute (a --sync search for a window that never comes).
bool Xdotool(const std::string& display, const std::string& arguments);

// Focuses the window titled title once it exists, and presses key there
// through xdotool (a key name as xdotool spells it: F10, Escape).
bool PressIn(const std::string& display, const char* title, const char* key);

// Gives the shown window titled title the keyboard focus and presses and
// releases Return there through XTest. False when there is no such window.
bool PressReturnIn(const std::string& display, const char* title);

// Whether display serves the fonts SDL builds its message boxes with
// (Debian's xfonts-base); without them no box can show.
bool ServesBoxFonts(const std::string& display);

}  // namespace test_support
