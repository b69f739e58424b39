// aqsinkprobe SOURCE SECONDS PCM TIMES: what a listener hears, recorded from a
// PulseAudio source (a sink's monitor) for SECONDS or until asked to end. PCM gets the sound as
// 16-bit mono at 44.1 kHz; TIMES gets a line per read, on the monotonic clock:
//   nanoseconds frames-so-far latency-microseconds
// where the latency is the record stream's, signed: a monitor's is the
// negative of its sink's, which has yet to play what the monitor already has.
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/avsync/probe.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr std::uint32_t RATE = 44100;
constexpr std::int64_t STOP_POLL_NS = 10000000;
constexpr std::uint32_t FRAGMENT_BYTES = RATE / 1000 * 4;  // about a millisecond of stereo frames

struct Recording {
    pa_threaded_mainloop* loop = nullptr;
    FILE* pcm = nullptr;
    FILE* times = nullptr;
    std::int64_t frames = 0;
    bool failed = false;
    std::vector<std::int16_t> mono;
};

void WriteMono(Recording& recording, const void* data, std::size_t bytes)
{
    const std::size_t frames = bytes / 4;
    recording.mono.assign(frames, 0);
    if (data != nullptr) {
        const std::int16_t* const stereo = static_cast<const std::int16_t*>(data);
        for (std::size_t i = 0; i < frames; ++i)
            recording.mono[i] = static_cast<std::int16_t>((stereo[2 * i] + stereo[2 * i + 1]) / 2);
    }
    std::fwrite(recording.mono.data(), sizeof(std::int16_t), frames, recording.pcm);
    recording.frames += static_cast<std::int64_t>(frames);
}

// Runs on the main loop's thread as soon as data arrives.
void OnReadable(pa_stream* stream, std::size_t, void* userdata)
{
    Recording& recording = *static_cast<Recording*>(userdata);
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const std::int64_t now = MonotonicNanoseconds();
        WriteMono(recording, data, bytes);  // null data is a hole: silence
        pa_stream_drop(stream);
        pa_usec_t latency = 0;
        int negative = 0;
        const long long signedLatency =
            pa_stream_get_latency(stream, &latency, &negative) == 0 ? (negative ? -1LL : 1LL) * latency : 0;
        std::fprintf(recording.times, "%lld %lld %lld\n", static_cast<long long>(now),
                     static_cast<long long>(recording.frames), signedLatency);
    }
}

void OnContextState(pa_context* context, void* userdata)
{
    Recording& recording = *static_cast<Recording*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        recording.failed = true;
    pa_threaded_mainloop_signal(recording.loop, 0);
}

// Connects and starts recording source; false when the server or source is not there.
bool Start(Recording& recording, pa_context* context, const char* source)
{
    pa_context_set_state_callback(context, OnContextState, &recording);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    while (pa_context_get_state(context) != PA_CONTEXT_READY && !recording.failed)
        pa_threaded_mainloop_wait(recording.loop);
    if (recording.failed)
        return false;
    const pa_sample_spec spec{PA_SAMPLE_S16LE, RATE, 2};
    pa_stream* const stream = pa_stream_new(context, "avsync probe", &spec, nullptr);
    if (stream == nullptr)
        return false;
    pa_stream_set_read_callback(stream, OnReadable, &recording);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.fragsize = FRAGMENT_BYTES;
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                                      PA_STREAM_AUTO_TIMING_UPDATE);
    return pa_stream_connect_record(stream, source, &attributes, flags) == 0;
}

int Record(const char* source, double seconds, Recording& recording)
{
    recording.loop = pa_threaded_mainloop_new();
    pa_context* const context = pa_context_new(pa_threaded_mainloop_get_api(recording.loop), "aqsinkprobe");
    pa_threaded_mainloop_start(recording.loop);
    pa_threaded_mainloop_lock(recording.loop);
    const bool started = Start(recording, context, source);
    pa_threaded_mainloop_unlock(recording.loop);
    const std::int64_t end = MonotonicNanoseconds() + static_cast<std::int64_t>(seconds * 1e9);
    for (std::int64_t now = MonotonicNanoseconds(); started && now < end && !StopAsked(); now += STOP_POLL_NS)
        SleepUntil(now + STOP_POLL_NS);
    const bool failed = recording.failed;
    pa_threaded_mainloop_stop(recording.loop);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_threaded_mainloop_free(recording.loop);
    return started && !failed ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: aqsinkprobe SOURCE SECONDS PCM TIMES\n", stderr);
        return EXIT_USAGE;
    }
    StopOnSignals();
    Recording recording;
    recording.pcm = std::fopen(argv[3], "wb");
    recording.times = std::fopen(argv[4], "w");
    if (recording.pcm == nullptr || recording.times == nullptr) {
        std::fputs("aqsinkprobe: cannot write the recording\n", stderr);
        return EXIT_FAILED;
    }
    // Whole lines, so that a script can tell from the last one when the latency has settled.
    std::setvbuf(recording.times, nullptr, _IOLBF, 0);
    const int status = Record(argv[1], std::atof(argv[2]), recording);
    std::fclose(recording.pcm);
    std::fclose(recording.times);
    if (status != EXIT_OK)
        std::fprintf(stderr, "aqsinkprobe: cannot record %s\n", argv[1]);
    return status;
}
