// The message queue of the real backend: SDL events turned into the window
// procedure's messages (close, size, key down with its virtual-key code,
// char), in the order they happened. Main thread only; SDL video is running.
#pragma once

#include <SDL.h>

#include <deque>

#include "platform/platform.h"

namespace platform {

class SdlMessages {
public:
    // Polls SDL, then takes the oldest message for window; false when none waits.
    bool Peek(WindowHandle window, Message& message);
    // Queues the WM_CHAR Windows derives from a control key's WM_KEYDOWN,
    // ahead of every later message.
    void Translate(const Message& message);
    void Clear() { pending_.clear(); }

private:
    void Post(WindowHandle window, std::uint32_t kind, std::uintptr_t wParam,
              std::intptr_t lParam);
    void Take(WindowHandle window, const SDL_Event& event);
    void TakeKey(WindowHandle window, const SDL_KeyboardEvent& event);
    void TakeText(WindowHandle window, const SDL_TextInputEvent& event);
    void TakeWindowEvent(WindowHandle window, const SDL_WindowEvent& event);

    std::deque<Message> pending_;
};

}  // namespace platform
