// The platform of a capture: the real backend's window, GL context and
// libraries, headless, behind a clock of its own. The clock is a counter of
// 1000 × FPS ticks a second that moves only when the demo sleeps (without
// waiting) and by exactly one frame, 1000 ticks, at every swap while the
// capture records, so the demo's millisecond clock reads a whole number of
// 1000 / FPS ms steps however long a frame took to draw. Its display offers
// the demo's mode alone, nothing is presented and nobody presses keys.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "tools/aqtool/capture_session.h"

namespace aqtool {

class CaptureBackend final : public platform::Backend {
public:
    CaptureBackend(platform::Backend& real, CaptureSession& session, std::uint32_t framesPerSecond);

    platform::InstanceHandle ProgramInstance() override { return real_.ProgramInstance(); }
    platform::ResourceHandle LoadIcon(platform::InstanceHandle instance, const char* name) override;
    platform::ResourceHandle LoadCursor(platform::InstanceHandle instance, int id) override;
    platform::ResourceHandle GetStockObject(int id) override { return real_.GetStockObject(id); }
    bool RegisterClass(const platform::WindowClass& windowClass) override;
    bool UnregisterClass(const char* className, platform::InstanceHandle instance) override;
    platform::WindowHandle CreateWindow(const platform::WindowParams& wanted) override;
    void ShowWindow(platform::WindowHandle window, int command) override;
    void UpdateWindow(platform::WindowHandle window) override { real_.UpdateWindow(window); }
    platform::DeviceContextHandle GetDC(platform::WindowHandle window) override { return real_.GetDC(window); }
    int ReleaseDC(platform::WindowHandle window, platform::DeviceContextHandle dc) override;
    int GetSystemMetrics(int index) override { return real_.GetSystemMetrics(index); }
    bool PeekMessage(platform::Message& message) override { return real_.PeekMessage(message); }
    void TranslateMessage(const platform::Message& message) override { real_.TranslateMessage(message); }
    std::intptr_t DispatchMessage(const platform::Message& message) override;
    std::intptr_t DefWindowProc(const platform::Message& message) override;
    platform::WindowHandle GetFocus() override { return real_.GetFocus(); }

    bool EnumDisplaySettings(std::uint32_t index, platform::DisplayMode& mode) override;
    int ChangeDisplaySettings(const platform::DisplayMode* mode, std::uint32_t flags) override;

    int ChoosePixelFormat(platform::DeviceContextHandle dc, const platform::PixelFormatDescriptor* pfd) override;
    int DescribePixelFormat(platform::DeviceContextHandle dc, int format, unsigned size,
                            platform::PixelFormatDescriptor* pfd) override;
    bool SetPixelFormat(platform::DeviceContextHandle dc, int format,
                        const platform::PixelFormatDescriptor* pfd) override;
    // While the capture records: records the frame and moves the clock on by
    // one frame. Presents nothing.
    bool SwapBuffers(platform::DeviceContextHandle dc) override;

    std::uint16_t GetAsyncKeyState(int) override { return 0; }
    int ShowCursor(bool show) override { return real_.ShowCursor(show); }
    void MessageBox(platform::WindowHandle owner, const char* text, const char* caption) override;
    void OutputDebugString(const char* text) override { real_.OutputDebugString(text); }

    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    void Sleep(std::uint32_t milliseconds) override;

    platform::ModuleHandle LoadLibrary(const char* name) override { return real_.LoadLibrary(name); }
    platform::Proc GetProcAddress(platform::ModuleHandle module, const char* name) override;
    bool FreeLibrary(platform::ModuleHandle module) override { return real_.FreeLibrary(module); }

    // The capture's files are finished; its status, not the demo's, ends the process.
    int FinishProcess(int) override { return session_.Finish(); }

private:
    platform::Backend& real_;
    CaptureSession& session_;
    const std::int64_t ticksPerMillisecond_;  // FPS
    std::int64_t ticks_ = 0;                  // the counter
};

}  // namespace aqtool
