// Keys for the real backend: the virtual-key code of an SDL key, and the key
// state behind GetAsyncKeyState, kept from every key event SDL sees (an event
// watch), whoever polls the queue. Main thread only; SDL video is running.
#pragma once

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

// 0 when the key has no virtual-key code the host could ask about.
int VirtualKeyOf(SDL_Keycode key);

// True for the keys whose WM_KEYDOWN TranslateMessage follows with a WM_CHAR,
// as Windows does; SDL text input never reports these control characters.
bool IsControlCharacterKey(int virtualKey);

class SdlKeys {
public:
    // Begins noting SDL's key events; again while watching does nothing.
    void Watch();
    void Unwatch();
    // Bit 15: down now; bit 0: pressed since the last query of this key, which
    // this query clears. The caller pumps SDL's events first.
    std::uint16_t Query(int virtualKey);

private:
    static constexpr std::size_t KEY_COUNT = 256;  // virtual-key codes are one byte

    static int OnEvent(void* keys, SDL_Event* event);
    void Note(const SDL_KeyboardEvent& event);

    bool watching_ = false;
    std::array<bool, KEY_COUNT> down_{};
    std::array<bool, KEY_COUNT> pressed_{};  // since the last query of that key
};

}  // namespace platform
