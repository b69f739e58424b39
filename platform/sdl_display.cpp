// Display modes and the window's shape; see sdl_display.h.
#include "platform/sdl_display.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/display_modes.h"

namespace platform {
namespace {

constexpr int DISPLAY = 0;  // the demo plays on the primary display
constexpr std::uint32_t BITS_OF_FOUR_BYTE_PIXEL = 32;
constexpr Uint32 WINDOW_FLAGS = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
constexpr char WINDOW_CHOICE[] = "AQUARIUM_WINDOW";

bool windowChosenByTool = false;

// Any value but empty or "0" asks for a window, and so does a tool.
bool WindowChosen()
{
    const char* const choice = std::getenv(WINDOW_CHOICE);
    return windowChosenByTool || (choice != nullptr && choice[0] != '\0' && std::strcmp(choice, "0") != 0);
}

// A 4-byte pixel counts as 32 bits whatever SDL says of its padding.
std::uint32_t BitsPerPelOf(Uint32 format)
{
    return SDL_BYTESPERPIXEL(format) == 4 ? BITS_OF_FOUR_BYTE_PIXEL : SDL_BITSPERPIXEL(format);
}

// SDL lists a zero member as "any" (the offscreen driver's one mode is all
// zeros); the desktop's value stands for it.
bool ListedMode(int index, SDL_DisplayMode& mode)
{
    SDL_DisplayMode desktop;
    if (SDL_GetDisplayMode(DISPLAY, index, &mode) != 0 ||
        SDL_GetDesktopDisplayMode(DISPLAY, &desktop) != 0)
        return false;
    if (mode.w == 0 || mode.h == 0) {
        mode.w = desktop.w;
        mode.h = desktop.h;
    }
    if (mode.format == SDL_PIXELFORMAT_UNKNOWN)
        mode.format = desktop.format;
    if (mode.refresh_rate == 0)
        mode.refresh_rate = desktop.refresh_rate;
    return true;
}

DisplayMode DisplayModeOf(const SDL_DisplayMode& sdl)
{
    DisplayMode mode;
    mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.bitsPerPel = BitsPerPelOf(sdl.format);
    mode.width = static_cast<std::uint32_t>(sdl.w);
    mode.height = static_cast<std::uint32_t>(sdl.h);
    mode.frequency = static_cast<std::uint32_t>(sdl.refresh_rate);
    return mode;
}

std::vector<DisplayMode> OfferedModes()
{
    std::vector<DisplayMode> offered;
    const int count = SDL_GetNumDisplayModes(DISPLAY);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (ListedMode(i, mode))
            offered.push_back(DisplayModeOf(mode));
    }
    return offered;
}

}  // namespace

void ChooseWindow() { windowChosenByTool = true; }

bool SdlDisplay::Enumerate(std::uint32_t index, DisplayMode& mode) const
{
    SDL_DisplayMode listed;
    if (index > static_cast<std::uint32_t>(INT_MAX) || !ListedMode(static_cast<int>(index), listed))
        return false;
    mode = DisplayModeOf(listed);
    return true;
}

int SdlDisplay::Change(const DisplayMode* mode, WindowRecord* window)
{
    // A window leaves the desktop as it is: there is nothing to switch.
    if (WindowChosen())
        return DISP_CHANGE_SUCCESSFUL;
    if (mode == nullptr) {
        if (window != nullptr && InForce(*window))
            LeaveForDesktop(*window);
        inForce_.reset();
        return DISP_CHANGE_SUCCESSFUL;
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(DISPLAY, &desktop) != 0)
        return DISP_CHANGE_FAILED;
    const DisplayMode current = DisplayModeOf(inForce_ ? inForce_->sdl : desktop);
    const DisplayMode wanted = WantedMode(*mode, current);
    const std::vector<DisplayMode> offered = OfferedModes();
    const int index = FindOfferedMode(offered.data(), offered.size(), wanted);
    ModeInForce next{};
    if (index < 0 || !ListedMode(index, next.sdl))
        return DISP_CHANGE_BADMODE;
    next.asked = wanted;
    inForce_ = next;
    if (window != nullptr && InForce(*window) && !Enter(*window)) {
        LeaveForDesktop(*window);
        inForce_.reset();
        return DISP_CHANGE_FAILED;
    }
    return DISP_CHANGE_SUCCESSFUL;
}

bool SdlDisplay::Open(WindowRecord& window)
{
    Uint32 flags = WINDOW_FLAGS;
    int x = window.x;
    int y = window.y;
    int width = window.width;
    int height = window.height;
    window.resizable = WindowChosen();
    if (window.resizable) {
        flags |= SDL_WINDOW_RESIZABLE;
        x = y = SDL_WINDOWPOS_CENTERED_DISPLAY(DISPLAY);
    } else if (IsPopup(window) && inForce_) {
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
        width = inForce_->sdl.w;
        height = inForce_->sdl.h;
    } else if (IsPopup(window)) {
        // Covers the desktop even where no window manager makes it full screen.
        SDL_Rect desktop{};
        SDL_GetDisplayBounds(DISPLAY, &desktop);
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        x = desktop.x;
        y = desktop.y;
        width = desktop.w;
        height = desktop.h;
    }
    window.sdl = SDL_CreateWindow(window.title.c_str(), x, y, width, height, flags);
    if (window.sdl == nullptr)
        return false;
    if (InForce(window))
        SDL_SetWindowDisplayMode(window.sdl, &inForce_->sdl);
    Show(window);
    SDL_StartTextInput();
    return true;
}

void SdlDisplay::Show(WindowRecord& window)
{
    if (window.sdl == nullptr)
        return;
    if (!window.shown) {
        SDL_HideWindow(window.sdl);
        return;
    }
    SDL_ShowWindow(window.sdl);
    // SDL switches a hidden full-screen window's mode only as it shows it.
    if (InForce(window) && !Took(window)) {
        // The message the change would have had, could it have been tried at once.
        ReportModeFailure(DISP_CHANGE_FAILED, inForce_->asked);
        inForce_.reset();
        LeaveForDesktop(window);
    }
}

// The window a mode in force applies to: the full-screen one, made already.
bool SdlDisplay::InForce(const WindowRecord& window) const
{
    return inForce_.has_value() && window.sdl != nullptr && IsPopup(window) && !window.resizable;
}

bool SdlDisplay::Enter(const WindowRecord& window) const
{
    return SDL_SetWindowDisplayMode(window.sdl, &inForce_->sdl) == 0 &&
           SDL_SetWindowFullscreen(window.sdl, SDL_WINDOW_FULLSCREEN) == 0 && Took(window);
}

// True when the display really is in the mode in force, or the window is not
// on screen yet (SDL switches only a visible window).
bool SdlDisplay::Took(const WindowRecord& window) const
{
    if ((SDL_GetWindowFlags(window.sdl) & SDL_WINDOW_SHOWN) == 0)
        return true;
    SDL_DisplayMode current;
    const int display = SDL_GetWindowDisplayIndex(window.sdl);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &current) != 0)
        return false;
    return current.w == inForce_->sdl.w && current.h == inForce_->sdl.h &&
           BitsPerPelOf(current.format) == BitsPerPelOf(inForce_->sdl.format);
}

void SdlDisplay::LeaveForDesktop(const WindowRecord& window) const
{
    SDL_SetWindowFullscreen(window.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace platform
