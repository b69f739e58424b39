// A backend that hands every call to another one: the base of the tools'
// backends, which change a few answers of the real backend (the clock, the
// swap, the end of the process) and leave the rest as it is.
#pragma once

#include "platform/platform.h"

namespace platform {

class ForwardingBackend : public Backend {
public:
    // inner is borrowed and must outlive this backend.
    explicit ForwardingBackend(Backend& inner) : inner_(inner) {}

    InstanceHandle ProgramInstance() override { return inner_.ProgramInstance(); }
    ResourceHandle LoadIcon(InstanceHandle instance, const char* name) override
    {
        return inner_.LoadIcon(instance, name);
    }
    ResourceHandle LoadCursor(InstanceHandle instance, int id) override { return inner_.LoadCursor(instance, id); }
    ResourceHandle GetStockObject(int id) override { return inner_.GetStockObject(id); }
    bool RegisterClass(const WindowClass& windowClass) override { return inner_.RegisterClass(windowClass); }
    bool UnregisterClass(const char* className, InstanceHandle instance) override
    {
        return inner_.UnregisterClass(className, instance);
    }
    WindowHandle CreateWindow(const WindowParams& wanted) override { return inner_.CreateWindow(wanted); }
    void ShowWindow(WindowHandle window, int command) override { inner_.ShowWindow(window, command); }
    void UpdateWindow(WindowHandle window) override { inner_.UpdateWindow(window); }
    DeviceContextHandle GetDC(WindowHandle window) override { return inner_.GetDC(window); }
    int ReleaseDC(WindowHandle window, DeviceContextHandle dc) override { return inner_.ReleaseDC(window, dc); }
    int GetSystemMetrics(int index) override { return inner_.GetSystemMetrics(index); }
    bool PeekMessage(Message& message) override { return inner_.PeekMessage(message); }
    void TranslateMessage(const Message& message) override { inner_.TranslateMessage(message); }
    std::intptr_t DispatchMessage(const Message& message) override { return inner_.DispatchMessage(message); }
    std::intptr_t DefWindowProc(const Message& message) override { return inner_.DefWindowProc(message); }
    WindowHandle GetFocus() override { return inner_.GetFocus(); }
    bool SetWindowText(WindowHandle window, const char* title) override
    {
        return inner_.SetWindowText(window, title);
    }

    bool EnumDisplaySettings(std::uint32_t index, DisplayMode& mode) override
    {
        return inner_.EnumDisplaySettings(index, mode);
    }
    int ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) override
    {
        return inner_.ChangeDisplaySettings(mode, flags);
    }

    int ChoosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor* pfd) override
    {
        return inner_.ChoosePixelFormat(dc, pfd);
    }
    int DescribePixelFormat(DeviceContextHandle dc, int format, unsigned size, PixelFormatDescriptor* pfd) override
    {
        return inner_.DescribePixelFormat(dc, format, size, pfd);
    }
    bool SetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor* pfd) override
    {
        return inner_.SetPixelFormat(dc, format, pfd);
    }
    bool SwapBuffers(DeviceContextHandle dc) override { return inner_.SwapBuffers(dc); }

    std::uint16_t GetAsyncKeyState(int virtualKey) override { return inner_.GetAsyncKeyState(virtualKey); }
    int ShowCursor(bool show) override { return inner_.ShowCursor(show); }
    void MessageBox(WindowHandle owner, const char* text, const char* caption) override
    {
        inner_.MessageBox(owner, text, caption);
    }
    void OutputDebugString(const char* text) override { inner_.OutputDebugString(text); }

    bool QueryPerformanceCounter(std::int64_t& count) override { return inner_.QueryPerformanceCounter(count); }
    bool QueryPerformanceFrequency(std::int64_t& frequency) override
    {
        return inner_.QueryPerformanceFrequency(frequency);
    }
    void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    std::int64_t PictureLatencyMicroseconds() override { return inner_.PictureLatencyMicroseconds(); }

    int FinishProcess(int code) override { return inner_.FinishProcess(code); }

    ModuleHandle LoadLibrary(const char* name) override { return inner_.LoadLibrary(name); }
    Proc GetProcAddress(ModuleHandle module, const char* name) override { return inner_.GetProcAddress(module, name); }
    bool FreeLibrary(ModuleHandle module) override { return inner_.FreeLibrary(module); }

private:
    Backend& inner_;
};

}  // namespace platform
