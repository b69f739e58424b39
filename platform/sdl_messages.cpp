// SDL events as window messages; see sdl_messages.h.
#include "platform/sdl_messages.h"

#include "platform/sdl_keys.h"

namespace platform {
namespace {

constexpr std::uintptr_t SIZE_RESTORED = 0;
constexpr std::intptr_t WORD_MASK = 0xFFFF;
constexpr int HIGH_WORD_SHIFT = 16;
constexpr std::intptr_t KEY_REPEAT_COUNT = 1;
constexpr std::intptr_t KEY_WAS_DOWN = std::intptr_t{1} << 30;
constexpr unsigned char FIRST_NON_ASCII = 0x80;

}  // namespace

bool SdlMessages::Peek(WindowHandle window, Message& message)
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
        Take(window, event);
    if (pending_.empty())
        return false;
    message = pending_.front();
    pending_.pop_front();
    return true;
}

void SdlMessages::Translate(const Message& message)
{
    if (message.kind == WM_KEYDOWN && IsControlCharacterKey(static_cast<int>(message.wParam)))
        pending_.push_front(Message{message.window, WM_CHAR, message.wParam, message.lParam});
}

void SdlMessages::Post(WindowHandle window, std::uint32_t kind, std::uintptr_t wParam,
                       std::intptr_t lParam)
{
    pending_.push_back(Message{window, kind, wParam, lParam});
}

void SdlMessages::Take(WindowHandle window, const SDL_Event& event)
{
    switch (event.type) {
        case SDL_QUIT:
            Post(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            TakeWindowEvent(window, event.window);
            break;
        case SDL_KEYDOWN:
            TakeKey(window, event.key);
            break;
        case SDL_TEXTINPUT:
            TakeText(window, event.text);
            break;
        default:
            break;
    }
}

void SdlMessages::TakeKey(WindowHandle window, const SDL_KeyboardEvent& event)
{
    const int virtualKey = VirtualKeyOf(event.keysym.sym);
    if (virtualKey == 0)
        return;
    Post(window, WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey),
         KEY_REPEAT_COUNT | (event.repeat != 0 ? KEY_WAS_DOWN : 0));
}

// Text input already gives printable characters; Windows has no WM_CHAR for
// the bytes of a non-ASCII letter here.
void SdlMessages::TakeText(WindowHandle window, const SDL_TextInputEvent& event)
{
    for (const char* byte = event.text; *byte != '\0'; ++byte) {
        const auto character = static_cast<unsigned char>(*byte);
        if (character < FIRST_NON_ASCII)
            Post(window, WM_CHAR, character, KEY_REPEAT_COUNT);
    }
}

void SdlMessages::TakeWindowEvent(WindowHandle window, const SDL_WindowEvent& event)
{
    if (event.event == SDL_WINDOWEVENT_CLOSE) {
        Post(window, WM_CLOSE, 0, 0);
    } else if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        // lParam packs the client size as Windows does: height high, width low.
        const std::intptr_t width = event.data1 & WORD_MASK;
        const std::intptr_t height = event.data2 & WORD_MASK;
        Post(window, WM_SIZE, SIZE_RESTORED, (height << HIGH_WORD_SHIFT) | width);
    }
}

}  // namespace platform
