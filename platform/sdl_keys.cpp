// Virtual-key codes and key state of the real backend; see sdl_keys.h.
#include "platform/sdl_keys.h"

#include <algorithm>

#include "platform/platform.h"

namespace platform {
namespace {

// Virtual-key codes the host does not name itself.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;

struct NamedKey {
    SDL_Keycode key;
    int virtualKey;
};
constexpr std::array<NamedKey, 16> NAMED_KEYS{{
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_TAB, VK_TAB},
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
}};

constexpr std::array<int, 4> CONTROL_CHARACTER_KEYS{{VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE}};

}  // namespace

int VirtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    for (const NamedKey& named : NAMED_KEYS) {
        if (named.key == key)
            return named.virtualKey;
    }
    return 0;
}

bool IsControlCharacterKey(int virtualKey)
{
    return std::find(CONTROL_CHARACTER_KEYS.begin(), CONTROL_CHARACTER_KEYS.end(), virtualKey) !=
           CONTROL_CHARACTER_KEYS.end();
}

void SdlKeys::Watch()
{
    if (watching_)
        return;
    SDL_AddEventWatch(&SdlKeys::OnEvent, this);
    watching_ = true;
}

void SdlKeys::Unwatch()
{
    if (!watching_)
        return;
    SDL_DelEventWatch(&SdlKeys::OnEvent, this);
    watching_ = false;
}

int SdlKeys::OnEvent(void* keys, SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP)
        static_cast<SdlKeys*>(keys)->Note(event->key);
    return 0;  // SDL ignores what a watch returns
}

void SdlKeys::Note(const SDL_KeyboardEvent& event)
{
    const int virtualKey = VirtualKeyOf(event.keysym.sym);
    if (virtualKey == 0)
        return;
    const auto key = static_cast<std::size_t>(virtualKey);
    const bool down = event.type == SDL_KEYDOWN;
    down_[key] = down;
    if (down)
        pressed_[key] = true;
}

std::uint16_t SdlKeys::Query(int virtualKey)
{
    const auto key = static_cast<std::size_t>(virtualKey);
    if (virtualKey < 0 || key >= KEY_COUNT)
        return 0;
    std::uint16_t state = down_[key] ? KEY_DOWN_NOW : 0;
    if (pressed_[key])
        state |= KEY_PRESSED_SINCE_LAST_QUERY;
    pressed_[key] = false;
    return state;
}

}  // namespace platform
