// Chooses the backend behind every platform call.
#include "platform/platform.h"

#include <cstdlib>

#include "platform/sdl_backend.h"

namespace platform {

namespace {
Backend* installedBackend = nullptr;  // a test's backend, owned by the test
ModeFailureReport modeFailureReport = nullptr;
}  // namespace

Backend& Os() { return installedBackend ? *installedBackend : RealBackend(); }

void Install(Backend* backend) { installedBackend = backend; }

void SetModeFailureReport(ModeFailureReport report) { modeFailureReport = report; }

void ReportModeFailure(int result, const DisplayMode& asked)
{
    if (modeFailureReport != nullptr)
        modeFailureReport(result, asked);
}

void Backend::ExitProcess(int code) { std::exit(FinishProcess(code)); }

}  // namespace platform
