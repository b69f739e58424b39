// What both probes share: the clock they stamp their samples with, the one
// the demo's performance counter reads (CLOCK_MONOTONIC, in nanoseconds), and
// an end asked by SIGINT or SIGTERM that lets them close their files.
#pragma once

#include <time.h>

#include <csignal>

#include <cstdint>

inline std::int64_t MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Sleeps until the monotonic clock reads at least nanoseconds.
inline void SleepUntil(std::int64_t nanoseconds)
{
    const timespec until{static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
    }
}

namespace probe_detail {
inline volatile std::sig_atomic_t stopAsked = 0;
inline void AskToStop(int) { stopAsked = 1; }
}  // namespace probe_detail

inline void StopOnSignals()
{
    std::signal(SIGINT, probe_detail::AskToStop);
    std::signal(SIGTERM, probe_detail::AskToStop);
}

inline bool StopAsked() { return probe_detail::stopAsked != 0; }
