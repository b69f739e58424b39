// Error text and the orderly end of the program: shutdown callbacks in
// registration order, window class unregistered, queue drained, the
// "Aquarium Shutdown" box, exit status 1.
#include "host/error.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "host/aquarium.h"
#include "platform/platform.h"

namespace Error {

namespace {
char text[TEXT_SIZE];
bool initialised = false;
}  // namespace

void Report(int count, ...)
{
    if (!initialised) {
        initialised = true;
        std::memset(text, 0, sizeof text);
    }
    va_list pieces;
    va_start(pieces, count);
    std::size_t length = std::strlen(text);
    for (int i = 0; i < count; ++i) {
        const char* piece = va_arg(pieces, const char*);
        if (piece == nullptr)  // a missing name reads as an empty one
            piece = "";
        const std::size_t pieceLength = std::strlen(piece);
        if (pieceLength + length >= TEXT_SIZE)
            break;
        std::memcpy(text + length, piece, pieceLength + 1);
        length += pieceLength;
    }
    va_end(pieces);
}

const char* Text() { return text; }

void Reset()
{
    initialised = false;
    std::memset(text, 0, sizeof text);
}

}  // namespace Error

namespace {
constexpr std::uint32_t MAX_SHUTDOWN_CALLBACKS = 100;
Aquarium::ShutdownCallback shutdownCallbacks[MAX_SHUTDOWN_CALLBACKS];
std::uint32_t shutdownCallbackCount = 0;
Aquarium::ShutdownCallback messageDrain = nullptr;
}  // namespace

void Aquarium::SetMessageDrain(ShutdownCallback drain) { messageDrain = drain; }

void Aquarium::RegShutdownCallback(ShutdownCallback callback)
{
    if (shutdownCallbackCount == MAX_SHUTDOWN_CALLBACKS) {
        Error::Report(1, "Aquarium::RegShutdownCallback: Too many shutdowncallbacks.\n");
        Shutdown(Error::Text());
    }
    shutdownCallbacks[shutdownCallbackCount++] = callback;
}

void Aquarium::Shutdown(const char* text)
{
    for (std::uint32_t i = 0; i < shutdownCallbackCount; ++i)
        shutdownCallbacks[i]();
    platform::Os().UnregisterClass(WINDOW_CLASS_NAME, gDisplay.instance);
    if (messageDrain != nullptr)
        messageDrain();
    if (text[0] != '\0')
        platform::Os().MessageBox(nullptr, text, "Aquarium Shutdown");
    platform::Os().ExitProcess(1);
}
