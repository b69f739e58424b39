// A scripted platform for tests: the test sets what the system will be
// answered (display modes and switch results, keys, clock, libraries and their
// exports, failures) and reads back what the system asked for. Install it with
// platform::Install for the duration of a test.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class FakeBackend : public Backend {
public:
    struct DisplayChange {
        bool hasMode;        // false for the restore call (null mode)
        DisplayMode mode;
        std::uint32_t flags;
    };
    struct Box {
        WindowHandle owner;
        std::string text;
        std::string caption;
    };
    struct CreatedWindow {
        std::string className, title;
        std::uint32_t extendedStyle, style;
        int x, y, width, height;
    };

    FakeBackend();
    ~FakeBackend() override;

    // --- Script ---
    std::vector<DisplayMode> displayModes;   // what EnumDisplaySettings lists, in order
    std::deque<int> displayChangeAnswers;     // answers of successive changes; empty: success
    // With no scripted answer left, changes are answered as a display offering
    // exactly displayModes would: success or BADMODE, from desktopMode on.
    bool answersFollowDisplayModes = false;
    DisplayMode desktopMode;
    std::map<int, int> systemMetrics;         // GetSystemMetrics answers; missing: 0
    bool registerClassSucceeds = true;
    bool createWindowSucceeds = true;
    int choosePixelFormatAnswer = 1;
    int describePixelFormatAnswer = 1;
    bool setPixelFormatSucceeds = true;
    bool swapBuffersSucceeds = true;
    bool hasPerformanceCounter = true;
    std::int64_t counter = 0;                 // next QueryPerformanceCounter answer
    std::int64_t counterStep = 0;             // added after every counter query
    std::int64_t frequency = 1000000;
    std::int64_t pictureLatencyMicroseconds = 0;  // what PictureLatencyMicroseconds answers
    std::deque<Message> queue;                // what PeekMessage hands out, front first

    // Makes name loadable with these exports.
    void AddLibrary(const std::string& name, const std::map<std::string, Proc>& exports);
    // The key was pressed since the last query (bit 0 of the next query).
    void PressKey(int virtualKey);
    // The key is down now (bit 15) until released.
    void HoldKey(int virtualKey, bool down);
    // Queues a message for the window that exists (or null).
    void PostMessage(std::uint32_t kind, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // --- Record ---
    std::vector<std::string> log;             // one line per call, in call order
    std::vector<DisplayChange> displayChanges;
    std::vector<CreatedWindow> createdWindows;
    std::vector<Box> boxes;
    std::vector<std::string> debugOutput;
    std::vector<Message> dispatched;
    PixelFormatDescriptor lastPixelFormatRequest = {};
    int showCursorCount = 0;                  // Windows' display counter
    std::uint32_t sleptMilliseconds = 0;
    int loadedModules = 0;                    // loaded and not yet freed

    // True when name is loaded now.
    bool IsLoaded(const std::string& name) const;

    // --- Backend ---
    InstanceHandle ProgramInstance() override;
    ResourceHandle LoadIcon(InstanceHandle instance, const char* name) override;
    ResourceHandle LoadCursor(InstanceHandle instance, int id) override;
    ResourceHandle GetStockObject(int id) override;
    bool RegisterClass(const WindowClass& windowClass) override;
    bool UnregisterClass(const char* className, InstanceHandle instance) override;
    WindowHandle CreateWindow(const WindowParams& spec) override;
    void ShowWindow(WindowHandle window, int command) override;
    void UpdateWindow(WindowHandle window) override;
    DeviceContextHandle GetDC(WindowHandle window) override;
    int ReleaseDC(WindowHandle window, DeviceContextHandle dc) override;
    int GetSystemMetrics(int index) override;
    bool PeekMessage(Message& message) override;
    void TranslateMessage(const Message& message) override;
    std::intptr_t DispatchMessage(const Message& message) override;
    std::intptr_t DefWindowProc(const Message& message) override;
    WindowHandle GetFocus() override;
    bool SetWindowText(WindowHandle window, const char* title) override;
    bool EnumDisplaySettings(std::uint32_t index, DisplayMode& mode) override;
    int ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) override;
    int ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd) override;
    int DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size,
                            PixelFormatDescriptor* pfd) override;
    bool SetPixelFormat(DeviceContextHandle dc, int format,
                        const PixelFormatDescriptor* pfd) override;
    bool SwapBuffers(DeviceContextHandle dc) override;
    std::uint16_t GetAsyncKeyState(int virtualKey) override;
    int ShowCursor(bool show) override;
    void MessageBox(WindowHandle owner, const char* text, const char* caption) override;
    void OutputDebugString(const char* text) override;
    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& value) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::int64_t PictureLatencyMicroseconds() override { return pictureLatencyMicroseconds; }
    ModuleHandle LoadLibrary(const char* name) override;
    Proc GetProcAddress(ModuleHandle module, const char* name) override;
    bool FreeLibrary(ModuleHandle module) override;

    // The fake window and device context, once created.
    WindowHandle window = nullptr;
    DeviceContextHandle dc = nullptr;

private:
    struct Library {
        std::map<std::string, Proc> exports;
        int loadCount = 0;
    };
    std::map<std::string, Library> libraries_;
    std::map<std::string, WindowClass> classes_;
    WindowProc windowProcedure_ = nullptr;
    std::map<int, std::uint16_t> keyState_;
    int AnswerFromDisplayModes(const DisplayMode& mode);

    std::optional<DisplayMode> currentMode_;  // put in force by a followed change
};

// Installs a fresh FakeBackend for its lifetime, then brings the real one back.
class ScopedFakeBackend {
public:
    ScopedFakeBackend() { Install(&fake); }
    ~ScopedFakeBackend() { Install(nullptr); }
    ScopedFakeBackend(const ScopedFakeBackend&) = delete;
    ScopedFakeBackend& operator=(const ScopedFakeBackend&) = delete;

    FakeBackend fake;
};

}  // namespace platform
