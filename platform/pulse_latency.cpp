// Asking PulseAudio (or PipeWire's PulseAudio server) for the latency of the
// stream SDL plays this process's sound on, on a main loop run here, on the
// program thread, until the answer or the time limit.
#include "platform/pulse_latency.h"

#include <SDL.h>
#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <string>

namespace platform {

namespace {

struct Question {
    std::string processId;    // ours, as the server's property writes it
    bool answered = false;    // the list has ended
    bool found = false;
    std::uint32_t index = 0;  // of the newest stream of ours
    std::int64_t microseconds = 0;
    std::uint64_t answeredAt = 0;
};

void OnSinkInput(pa_context*, const pa_sink_input_info* info, int last, void* userdata)
{
    Question& question = *static_cast<Question*>(userdata);
    if (last) {
        question.answered = true;
        question.answeredAt = SDL_GetPerformanceCounter();
        return;
    }
    const char* const process = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
    if (process == nullptr || question.processId != process || (question.found && info->index < question.index))
        return;
    question.found = true;
    question.index = info->index;
    question.microseconds = static_cast<std::int64_t>(info->buffer_usec + info->sink_usec);
}

std::uint64_t DeadlineIn(int milliseconds)
{
    const std::uint64_t ticks = SDL_GetPerformanceFrequency() * static_cast<std::uint64_t>(milliseconds) / 1000;
    return SDL_GetPerformanceCounter() + ticks;
}

// Runs loop until done() or the deadline on the performance counter; false at the deadline.
template <typename Done>
bool RunUntil(pa_mainloop* loop, std::uint64_t deadline, Done done)
{
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    while (!done()) {
        const std::uint64_t now = SDL_GetPerformanceCounter();
        if (now >= deadline)
            return false;
        const auto timeout = static_cast<int>((deadline - now) * 1000000 / frequency);
        if (pa_mainloop_prepare(loop, timeout) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
            return false;
    }
    return true;
}

bool IsSettled(pa_context* context)
{
    const pa_context_state_t state = pa_context_get_state(context);
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

}  // namespace

bool SoundServer::Connect(int timeoutMilliseconds)
{
    Disconnect();
    loop_ = pa_mainloop_new();
    context_ = loop_ ? pa_context_new(pa_mainloop_get_api(loop_), "aquarium") : nullptr;
    pa_context* const context = context_;
    const bool ready =
        context != nullptr && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
        RunUntil(loop_, DeadlineIn(timeoutMilliseconds), [context] { return IsSettled(context); }) &&
        pa_context_get_state(context) == PA_CONTEXT_READY;
    if (!ready)
        Disconnect();
    return ready;
}

void SoundServer::Disconnect()
{
    if (context_ != nullptr) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    if (loop_ != nullptr)
        pa_mainloop_free(loop_);
    context_ = nullptr;
    loop_ = nullptr;
}

bool SoundServer::AskStreamLatency(int timeoutMilliseconds, StreamLatency& latency)
{
    if (context_ == nullptr || pa_context_get_state(context_) != PA_CONTEXT_READY)
        return false;
    Question question;
    question.processId = std::to_string(getpid());
    const std::uint64_t askedAt = SDL_GetPerformanceCounter();
    pa_operation* const listing = pa_context_get_sink_input_info_list(context_, OnSinkInput, &question);
    if (listing == nullptr)
        return false;
    const bool answered = RunUntil(loop_, DeadlineIn(timeoutMilliseconds), [&question] { return question.answered; });
    if (!answered)
        pa_operation_cancel(listing);  // its answer must not reach the question once it is gone
    pa_operation_unref(listing);
    if (!answered || !question.found)
        return false;
    latency.answeredAt = static_cast<std::int64_t>(askedAt + (question.answeredAt - askedAt) / 2);
    latency.microseconds = question.microseconds;
    return true;
}

}  // namespace platform
