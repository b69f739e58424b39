// Starting and stopping SDL video; see sdl_video.h.
#include "platform/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace platform {

bool SdlVideo::Ready()
{
    if (started_)
        return true;
    // One window is the whole program: its close is WM_CLOSE, not a second quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const std::string reason = SDL_GetError();
        startFailure_ = reason.substr(0, reason.find('\n'));
        if (startFailure_.empty())
            startFailure_ = "no reason given";
        return false;
    }
    startFailure_.clear();
    started_ = true;
    return true;
}

bool SdlVideo::GlLibraryReady()
{
    if (!glLibraryLoaded_)
        glLibraryLoaded_ = SDL_GL_LoadLibrary(nullptr) == 0;
    return glLibraryLoaded_;
}

// A box nobody can see would wait forever for its OK.
bool SdlVideo::RealDisplay()
{
    if (!Ready())
        return false;
    const char* const driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        return false;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

void SdlVideo::Close()
{
    if (glLibraryLoaded_)
        SDL_GL_UnloadLibrary();
    glLibraryLoaded_ = false;
    if (started_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    started_ = false;
}

}  // namespace platform
