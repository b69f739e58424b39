// A scripted music library for tests: the test sets what each call answers
// (successive Init results, the last-error code, whether a stream opens) and
// reads back the calls made, in order. Install it with ScopedFakeMusic.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/music.h"

namespace platform {

class FakeMusic : public MusicBackend {
public:
    // --- Script ---
    std::deque<bool> initResults;   // answers of successive Init calls; empty: success
    int error = FSOUND_ERR_NONE;    // what GetError answers
    bool openSucceeds = true;
    bool playSucceeds = true;
    bool heard = false;             // whether StartTiming tells anything, and what
    OutputTiming timing;

    // --- Record ---
    std::vector<std::string> log;       // "SetOutput 2", "Init 44100 32 0", "Stream_OpenFile 40960 5",
                                        // "Stream_Stop", "SetPaused 0 1", ...
    std::vector<std::uint8_t> opened;   // the bytes the last StreamOpenFile was handed
    bool openedNull = false;            // the last StreamOpenFile was handed null data
    int timingAsked = 0;                // StartTiming calls, kept out of the log of the calls the host makes
    std::vector<std::int64_t> soundDelays;  // what DelaySound was asked, in order

    // The handle an opened stream gets.
    static MusicStream* Stream();

    // --- MusicBackend ---
    bool SetOutput(int outputType) override;
    bool Init(int mixRate, int maxChannels, std::uint32_t flags) override;
    int GetError() override;
    void Close() override;
    MusicStream* StreamOpenFile(const char* data, std::uint32_t mode, int length) override;
    bool StreamSetTime(MusicStream* stream, int milliseconds) override;
    int StreamPlay(int channel, MusicStream* stream) override;
    bool StreamStop(MusicStream* stream) override;
    bool StreamClose(MusicStream* stream) override;
    bool SetPaused(int channel, bool paused) override;
    int StreamGetTime(MusicStream* stream) override;
    bool StartTiming(OutputTiming& answer) override;
    void DelaySound(std::int64_t microseconds) override { soundDelays.push_back(microseconds); }

private:
    int position_ = 0;  // the last time set
};

// Installs a fresh FakeMusic for its lifetime, then brings the real one back.
class ScopedFakeMusic {
public:
    ScopedFakeMusic() { InstallMusic(&fake); }
    ~ScopedFakeMusic() { InstallMusic(nullptr); }
    ScopedFakeMusic(const ScopedFakeMusic&) = delete;
    ScopedFakeMusic& operator=(const ScopedFakeMusic&) = delete;

    FakeMusic fake;
};

}  // namespace platform
