// The sound server's word on this process's playing stream, asked when the
// music starts: how long from the server's answer until the last sample
// handed to the stream is heard (what it holds of the stream, and its sink's
// own latency). PulseAudio's client interface; PipeWire's server answers it
// too. The connection is made ahead, so that a question costs one round trip.
#pragma once

#include <cstdint>

struct pa_context;
struct pa_mainloop;

namespace platform {

struct StreamLatency {
    std::int64_t answeredAt = 0;    // performance counter, halfway between asking and the answer
    std::int64_t microseconds = 0;  // until the last sample handed over is heard
};

class SoundServer {
public:
    SoundServer() = default;
    ~SoundServer() { Disconnect(); }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // False when no server answers within timeoutMilliseconds; nothing is started.
    bool Connect(int timeoutMilliseconds);
    void Disconnect();
    // False when not connected, no answer comes within timeoutMilliseconds or
    // the server plays no stream of this process; the newest counts when there are several.
    bool AskStreamLatency(int timeoutMilliseconds, StreamLatency& latency);

private:
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

}  // namespace platform
