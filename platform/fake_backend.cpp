// The scripted platform of the tests. Every call is appended to the log; the
// answers come from what the test set in the public fields.
#include "platform/fake_backend.h"

#include <cstdio>
#include <cstring>

#include "platform/display_modes.h"

namespace platform {

namespace {
// Non-null tokens for the handles the fake hands out.
InstanceHandle const FAKE_INSTANCE = reinterpret_cast<InstanceHandle>(std::uintptr_t{0x1000});
WindowHandle const FAKE_WINDOW = reinterpret_cast<WindowHandle>(std::uintptr_t{0x2000});
DeviceContextHandle const FAKE_DC = reinterpret_cast<DeviceContextHandle>(std::uintptr_t{0x3000});

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Describe(const DisplayMode& mode)
{
    return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
           std::to_string(mode.bitsPerPel) + "@" + std::to_string(mode.frequency) +
           " fields=" + Hex(mode.fields);
}
}  // namespace

FakeBackend::FakeBackend() = default;
FakeBackend::~FakeBackend() = default;

void FakeBackend::AddLibrary(const std::string& name, const std::map<std::string, Proc>& exports)
{
    libraries_[name].exports = exports;
}

void FakeBackend::PressKey(int virtualKey) { keyState_[virtualKey] |= KEY_PRESSED_SINCE_LAST_QUERY; }

void FakeBackend::HoldKey(int virtualKey, bool down)
{
    if (down)
        keyState_[virtualKey] |= KEY_DOWN_NOW;
    else
        keyState_[virtualKey] &= static_cast<std::uint16_t>(~KEY_DOWN_NOW);
}

void FakeBackend::PostMessage(std::uint32_t kind, std::uintptr_t wParam, std::intptr_t lParam)
{
    queue.push_back(Message{window, kind, wParam, lParam});
}

bool FakeBackend::IsLoaded(const std::string& name) const
{
    const auto found = libraries_.find(name);
    return found != libraries_.end() && found->second.loadCount > 0;
}

InstanceHandle FakeBackend::ProgramInstance() { return FAKE_INSTANCE; }

ResourceHandle FakeBackend::LoadIcon(InstanceHandle, const char* name)
{
    log.push_back(std::string("LoadIcon ") + name);
    return 1;
}

ResourceHandle FakeBackend::LoadCursor(InstanceHandle, int id)
{
    log.push_back("LoadCursor " + std::to_string(id));
    return 2;
}

ResourceHandle FakeBackend::GetStockObject(int id)
{
    log.push_back("GetStockObject " + std::to_string(id));
    return 3;
}

bool FakeBackend::RegisterClass(const WindowClass& windowClass)
{
    log.push_back(std::string("RegisterClass ") + windowClass.className);
    if (!registerClassSucceeds || classes_.count(windowClass.className) != 0)
        return false;
    classes_[windowClass.className] = windowClass;
    return true;
}

bool FakeBackend::UnregisterClass(const char* className, InstanceHandle)
{
    log.push_back(std::string("UnregisterClass ") + className);
    return classes_.erase(className) != 0;
}

WindowHandle FakeBackend::CreateWindow(const WindowParams& spec)
{
    log.push_back(std::string("CreateWindow ") + spec.title);
    createdWindows.push_back(CreatedWindow{spec.className, spec.title, spec.extendedStyle,
                                           spec.style, spec.x, spec.y, spec.width, spec.height});
    const auto found = classes_.find(spec.className);
    if (!createWindowSucceeds || found == classes_.end())
        return nullptr;
    windowProcedure_ = found->second.procedure;
    window = FAKE_WINDOW;
    return window;
}

void FakeBackend::ShowWindow(WindowHandle, int command)
{
    log.push_back("ShowWindow " + std::to_string(command));
}

void FakeBackend::UpdateWindow(WindowHandle) { log.push_back("UpdateWindow"); }

DeviceContextHandle FakeBackend::GetDC(WindowHandle target)
{
    log.push_back("GetDC");
    if (target == nullptr || target != window)
        return nullptr;
    dc = FAKE_DC;
    return dc;
}

int FakeBackend::ReleaseDC(WindowHandle target, DeviceContextHandle context)
{
    log.push_back("ReleaseDC");
    return target == window && context == dc && dc != nullptr ? 1 : 0;
}

int FakeBackend::GetSystemMetrics(int index)
{
    const auto found = systemMetrics.find(index);
    return found == systemMetrics.end() ? 0 : found->second;
}

bool FakeBackend::PeekMessage(Message& message)
{
    if (queue.empty())
        return false;
    message = queue.front();
    queue.pop_front();
    return true;
}

void FakeBackend::TranslateMessage(const Message&) {}

std::intptr_t FakeBackend::DispatchMessage(const Message& message)
{
    dispatched.push_back(message);
    log.push_back("DispatchMessage " + Hex(message.kind));
    if (windowProcedure_ == nullptr)
        return 0;
    return windowProcedure_(message.window, message.kind, message.wParam, message.lParam);
}

std::intptr_t FakeBackend::DefWindowProc(const Message& message)
{
    log.push_back("DefWindowProc " + Hex(message.kind));
    return 0;
}

WindowHandle FakeBackend::GetFocus() { return window; }

bool FakeBackend::SetWindowText(WindowHandle target, const char* title)
{
    log.push_back(std::string("SetWindowText ") + title);
    return target != nullptr && target == window;
}

bool FakeBackend::EnumDisplaySettings(std::uint32_t index, DisplayMode& mode)
{
    if (index >= displayModes.size())
        return false;
    mode = displayModes[index];
    return true;
}

int FakeBackend::ChangeDisplaySettings(const DisplayMode* mode, std::uint32_t flags)
{
    displayChanges.push_back(DisplayChange{mode != nullptr, mode ? *mode : DisplayMode{}, flags});
    log.push_back("ChangeDisplaySettings " + (mode ? Describe(*mode) : std::string("null")) +
                  " flags=" + std::to_string(flags));
    if (mode == nullptr) {
        currentMode_.reset();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!displayChangeAnswers.empty()) {
        const int answer = displayChangeAnswers.front();
        displayChangeAnswers.pop_front();
        return answer;
    }
    return answersFollowDisplayModes ? AnswerFromDisplayModes(*mode) : DISP_CHANGE_SUCCESSFUL;
}

int FakeBackend::AnswerFromDisplayModes(const DisplayMode& mode)
{
    const DisplayMode wanted = WantedMode(mode, currentMode_.value_or(desktopMode));
    const int offered = FindOfferedMode(displayModes.data(), displayModes.size(), wanted);
    if (offered < 0)
        return DISP_CHANGE_BADMODE;
    currentMode_ = displayModes[static_cast<std::size_t>(offered)];
    return DISP_CHANGE_SUCCESSFUL;
}

int FakeBackend::ChoosePixelFormat(DeviceContextHandle, const PixelFormatDescriptor* pfd)
{
    log.push_back("ChoosePixelFormat");
    lastPixelFormatRequest = *pfd;
    return choosePixelFormatAnswer;
}

int FakeBackend::DescribePixelFormat(DeviceContextHandle, int format, unsigned size,
                                     PixelFormatDescriptor* pfd)
{
    log.push_back("DescribePixelFormat " + std::to_string(format) + " " + std::to_string(size));
    if (describePixelFormatAnswer != 0 && pfd != nullptr) {
        *pfd = lastPixelFormatRequest;
        pfd->size = sizeof(PixelFormatDescriptor);
    }
    return describePixelFormatAnswer;
}

bool FakeBackend::SetPixelFormat(DeviceContextHandle, int format, const PixelFormatDescriptor*)
{
    log.push_back("SetPixelFormat " + std::to_string(format));
    return setPixelFormatSucceeds;
}

bool FakeBackend::SwapBuffers(DeviceContextHandle)
{
    log.push_back("SwapBuffers");
    return swapBuffersSucceeds;
}

std::uint16_t FakeBackend::GetAsyncKeyState(int virtualKey)
{
    std::uint16_t& state = keyState_[virtualKey];
    const std::uint16_t answer = state;
    state &= static_cast<std::uint16_t>(~KEY_PRESSED_SINCE_LAST_QUERY);
    return answer;
}

int FakeBackend::ShowCursor(bool show)
{
    log.push_back(show ? "ShowCursor 1" : "ShowCursor 0");
    showCursorCount += show ? 1 : -1;
    return showCursorCount;
}

void FakeBackend::MessageBox(WindowHandle owner, const char* text, const char* caption)
{
    log.push_back(std::string("MessageBox ") + caption);
    boxes.push_back(Box{owner, text, caption});
    // Death tests see only what the child process wrote.
    std::fprintf(stderr, "[%s] %s", caption, text);
}

void FakeBackend::OutputDebugString(const char* text) { debugOutput.push_back(text); }

bool FakeBackend::QueryPerformanceCounter(std::int64_t& count)
{
    if (!hasPerformanceCounter)
        return false;
    count = counter;
    counter += counterStep;
    return true;
}

bool FakeBackend::QueryPerformanceFrequency(std::int64_t& value)
{
    if (!hasPerformanceCounter)
        return false;
    value = frequency;
    return true;
}

void FakeBackend::Sleep(std::uint32_t milliseconds)
{
    log.push_back("Sleep " + std::to_string(milliseconds));
    sleptMilliseconds += milliseconds;
}

ModuleHandle FakeBackend::LoadLibrary(const char* name)
{
    log.push_back(std::string("LoadLibrary ") + name);
    const auto found = libraries_.find(name);
    if (found == libraries_.end())
        return nullptr;
    ++found->second.loadCount;
    ++loadedModules;
    return reinterpret_cast<ModuleHandle>(&*found);
}

Proc FakeBackend::GetProcAddress(ModuleHandle module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    const auto* library = reinterpret_cast<std::pair<const std::string, Library>*>(module);
    const auto found = library->second.exports.find(name);
    return found == library->second.exports.end() ? nullptr : found->second;
}

bool FakeBackend::FreeLibrary(ModuleHandle module)
{
    if (module == nullptr)
        return false;
    auto* library = reinterpret_cast<std::pair<const std::string, Library>*>(module);
    log.push_back("FreeLibrary " + library->first);
    if (library->second.loadCount == 0)
        return false;
    --library->second.loadCount;
    --loadedModules;
    return true;
}

}  // namespace platform
