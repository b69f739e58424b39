// The backend that really talks to the machine: SDL2 for window, events,
// display modes and GL context, dlopen for the GL and GLU libraries.
// platform.h's types are known; no SDL type leaks out of this header.
#pragma once

#include "platform/platform.h"

namespace platform {

// The one real backend of the process; SDL starts on the first call that
// needs video and everything is closed when the process exits.
Backend& RealBackend();

// OutputDebugString writes to stderr only while this is on (off at start):
// Linux has no debugger channel, and the text would clutter a normal run.
void SetDebuggerOutput(bool on);

// Video starts on SDL's offscreen driver whatever the environment names, for
// tools that draw frames nobody watches. Takes effect if called before video starts.
void UseOffscreenVideo();

// The picture is shown in a resizable window on the desktop, at 4:3 on
// black, as AQUARIUM_WINDOW asks, for a tool whose frames are watched while
// it runs. Takes effect if called before the window is made.
void UseResizableWindow();

}  // namespace platform
