// The platform of a preview: the real backend, but for the end of the
// process, whose status is the preview's (0 after Escape or a closed
// window), and for the text of a failure, which goes to the terminal alone:
// a preview's messages are read there, and no box waits for an answer.
#pragma once

#include "platform/forwarding_backend.h"
#include "tools/aqtool/preview_status.h"

namespace aqtool {

class PreviewBackend final : public platform::ForwardingBackend {
public:
    // status is borrowed: its line is ended when the process ends.
    PreviewBackend(platform::Backend& real, PreviewStatus& status) : ForwardingBackend(real), status_(status) {}

    // The status the process ends with, 0 until set.
    void SetExitStatus(int status) { exitStatus_ = status; }

    void MessageBox(platform::WindowHandle owner, const char* text, const char* caption) override;
    int FinishProcess(int code) override;

private:
    PreviewStatus& status_;
    int exitStatus_ = 0;
};

}  // namespace aqtool
