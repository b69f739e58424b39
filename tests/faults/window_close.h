// Closing a window of an X server as a window manager does when the user
// clicks its close button: the WM_DELETE_WINDOW request of WM_PROTOCOLS.
#pragma once

#include <string>

namespace fault_test {

// Sends the request to the top-level window titled title on display. False
// when the display cannot be opened or has no such window.
bool AskToClose(const std::string& display, const char* title);

}  // namespace fault_test
