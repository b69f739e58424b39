// The platform of a capture: the real backend's window, GL context and
// libraries, headless, behind a clock of its own. The clock is a counter of
// 1000 × FPS ticks a second that moves only when the demo sleeps (without
// waiting) and by exactly one frame, 1000 ticks, at every swap while the
// capture records, so the demo's millisecond clock reads a whole number of
// 1000 / FPS ms steps however long a frame took to draw. Its display offers
// the demo's mode alone, nothing is presented and nobody presses keys.
#pragma once

#include <cstdint>

#include "platform/forwarding_backend.h"
#include "tools/aqtool/capture_session.h"

namespace aqtool {

class CaptureBackend final : public platform::ForwardingBackend {
public:
    CaptureBackend(platform::Backend& real, CaptureSession& session, std::uint32_t framesPerSecond);

    bool EnumDisplaySettings(std::uint32_t index, platform::DisplayMode& mode) override;
    int ChangeDisplaySettings(const platform::DisplayMode* mode, std::uint32_t flags) override;

    // While the capture records: records the frame and moves the clock on by
    // one frame. Presents nothing.
    bool SwapBuffers(platform::DeviceContextHandle dc) override;

    std::uint16_t GetAsyncKeyState(int) override { return 0; }

    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    void Sleep(std::uint32_t milliseconds) override;

    // The capture's files are finished; its status, not the demo's, ends the process.
    int FinishProcess(int) override { return session_.Finish(); }

private:
    CaptureSession& session_;
    const std::int64_t ticksPerMillisecond_;  // FPS
    std::int64_t ticks_ = 0;                  // the counter
};

}  // namespace aqtool
