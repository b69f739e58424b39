// The Aquarium: the one global record of per-frame state (handler tables,
// current lists, object and plugin, clock, view parameters, ordering table,
// quit flag) and the window, display mode and GL context it owns.
#pragma once

#include <cstdint>

#include "host/fish.h"
#include "host/ordertable.h"
#include "platform/platform.h"

using SwimFunction = void (*)();
using LightFunction = void (*)();
using PolygonFunction = void (*)(std::int32_t bucket, PolygonNode* node);

constexpr int HANDLER_TABLE_SIZE = 100;
constexpr const char* WINDOW_CLASS_NAME = "Aquarium";
constexpr const char* WINDOW_TITLE = "Aquarium";
constexpr const char* WINDOW_ICON_NAME = "Aquarium";
constexpr const char* WINDOW_MENU_NAME = "Aquarium";

// A table entry for a type that has no operation there; never called.
template <typename Function>
inline Function NoOperation()
{
    return reinterpret_cast<Function>(~std::uintptr_t{0});
}

// True when a table entry can be called.
template <typename Function>
inline bool IsOperation(Function entry)
{
    return entry != nullptr && entry != NoOperation<Function>();
}

// Calls the entry of table for type with arguments. A type outside the table,
// or one without an operation there, calls nothing.
template <typename Function, typename... Arguments>
inline void CallTableEntry(const Function (&table)[HANDLER_TABLE_SIZE], std::int32_t type,
                           Arguments... arguments)
{
    if (type < 0 || type >= HANDLER_TABLE_SIZE)
        return;
    const Function entry = table[type];
    if (IsOperation(entry))
        entry(arguments...);
}

// What the window procedure records of keys and typed characters; nobody reads it.
struct Keyboard {
    static constexpr int KEY_FLAG_COUNT = 146;
    static constexpr int TEXT_CAPACITY = 1024;

    // Records navigation and function keys.
    void KeyDown(int virtualKey);
    // Records a typed character, upper-cased while Caps Lock was pressed.
    void Char(int character);

    std::int32_t lastKey = 0;
    std::uint8_t keyFlags[KEY_FLAG_COUNT] = {};
    std::int32_t textLength = 0;
    char text[TEXT_CAPACITY] = {};
};

class Aquarium {
public:
    using ShutdownCallback = void (*)();

    Aquarium();
    ~Aquarium();
    Aquarium(const Aquarium&) = delete;

    // Opens the window with its display mode (none when the chosen picture
    // keeps the desktop), GL libraries, pixel format and context, and fills
    // the handler tables. Each list is zero-terminated and its first element
    // is skipped.
    bool FillOpenGL(const SwimFunction* swimList, const LightFunction* lightList,
                           const PolygonFunction* polygonList, platform::InstanceHandle instance);
    // Copies the state of aquarium, but for the full-screen flag and keyboard, into the global record.
    static void MakeCurrent(const Aquarium* aquarium);
    static void GLShutdown();
    static void RegShutdownCallback(ShutdownCallback callback);
    // What empties the window-message queue when the program ends; the main
    // loop's pump registers it. None at start.
    static void SetMessageDrain(ShutdownCallback drain);
    // Runs the callbacks, shows text when not empty and ends the process with status 1.
    [[noreturn]] static void Shutdown(const char* text);

    std::int32_t mode = 0;  // 1 once filled: the OpenGL path
    SwimFunction swimTable[HANDLER_TABLE_SIZE] = {};
    LightFunction lightTable[HANDLER_TABLE_SIZE] = {};
    PolygonFunction polygonTable[HANDLER_TABLE_SIZE] = {};
    Fish* currentObject = nullptr;       // whose operation or plugins run now
    Fish* currentLightObject = nullptr;  // the light being evaluated
    FishList currentObjectList;          // borrowed from the current scene's lists
    FishList currentLightList;
    Plugin* currentPlugin = nullptr;
    Fish* pluginOwner = nullptr;
    float depthKeyScale = 2147483648.0f;  // depth to 32-bit depth key
    float nearPlane = 1.0f;               // clipping z
    float centreX = 160.0f, centreY = 120.0f;
    float xScale = 1.0f, yScale = 1.0f;
    float clipLeft = 0.0f, clipRight = 320.0f, clipTop = 0.0f, clipBottom = 240.0f;
    std::int32_t width = 320, height = 240, colourDepth = 32;
    std::uint8_t fullScreen = 0;
    std::uint32_t currentTime = 0;  // milliseconds of the performance counter
    std::uint32_t clockRate = 1000;  // clock units per second
    OrderTable orderTable = {};
    std::uint32_t frameCounter = 0;  // incremented at the start of every pass
    std::int32_t quit = 0;           // 1 stops the main loop
    Aquarium* self;                  // whose state this record holds
    std::uint8_t filled = 0;
    Keyboard keyboard;

    // The view fields (centre, scales, clip rectangle) for width and height,
    // as filling sets them.
    void SetViewFromSize();

private:
    // Only MakeCurrent copies a whole record.
    Aquarium& operator=(const Aquarium&) = default;
};

// Process-wide values beside the record; null until FillOpenGL makes them.
struct AquariumDisplay {
    platform::WindowClass windowClass;
    platform::WindowHandle window = nullptr;
    platform::DeviceContextHandle dc = nullptr;
    platform::GLContextHandle glContext = nullptr;
    platform::InstanceHandle instance = nullptr;
};

extern Aquarium gAquarium;
extern AquariumDisplay gDisplay;

// Switches the display; a failed switch is reported and the program goes on.
bool ChangeResolution(std::int32_t width, std::int32_t height, std::int32_t colourDepth);
bool SetupPixelFormat(platform::DeviceContextHandle dc, std::int32_t colourDepth,
                      std::int32_t depthBits);
std::intptr_t AquariumWindowProc(platform::WindowHandle window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam);
