// The preview's platform; see preview_backend.h.
#include "tools/aqtool/preview_backend.h"

#include <cstdio>
#include <cstring>

namespace aqtool {

void PreviewBackend::MessageBox(platform::WindowHandle, const char* text, const char*)
{
    status_.Break();
    std::fputs(text, stderr);
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n')
        std::fputc('\n', stderr);
}

int PreviewBackend::FinishProcess(int)
{
    status_.Break();
    return exitStatus_;
}

}  // namespace aqtool
