// When the music SDL_mixer starts is heard. The first buffer mixed with the
// music is marked; from there the sound takes the sound server's latency to be
// heard where there is a server to ask, and otherwise the buffer the device
// holds ahead of it. Every mix after it tells the device clock's pace.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/music.h"
#include "platform/pulse_latency.h"
#include "platform/sound_clock.h"

namespace platform {

class MusicStartWatch {
public:
    // Once the audio device is open: learns its format, and connects to its
    // sound server if it plays through one. Remove before the device closes.
    void Install();
    void Remove();
    // Right before the music starts (program thread): asks the server its
    // latency, then marks the first buffer mixed with the music playing.
    void Arm();
    // Program thread, once the music has started. False for an output that
    // nobody hears (SDL's dummy and disk drivers) or that never mixed.
    bool Timing(OutputTiming& timing) const;

    // Audio thread, after every mix of length bytes, with the device locked.
    void Mixed(int length);
    // The device's frames a second, once installed.
    int Rate() const { return rate_; }
    // Any thread: how far the sound has run ahead of the counter since it
    // started, as the device's pace tells (negative: behind).
    std::int64_t AheadMicroseconds() const { return clock_.AheadMicroseconds(); }

private:
    std::int64_t MeanServerLatency();

    std::atomic<bool> armed_{false};
    std::atomic<bool> started_{false};
    std::atomic<std::int64_t> firstMixAt_{0};  // performance counter at the first mix with the music
    std::atomic<int> bufferFrames_{0};         // of one mix
    int rate_ = 0;                             // of the device, frames per second
    int frameBytes_ = 0;
    bool heard_ = false;                       // the driver plays to someone
    SoundServer server_;                       // connected when the driver plays through one
    std::int64_t serverLatencyUs_ = -1;        // asked at the last Arm; -1 without an answer
    SoundClock clock_;                         // of what plays, from its first mix
};

}  // namespace platform
