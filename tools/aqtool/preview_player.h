// Where a preview plays: the music time of the show, running with the
// demo's clock or held, and the demo's timeline and current lists placed at
// it. While the music runs, the demo's own Timeline switches the scenes as
// the demo does; the player moves the show anywhere in FIRST to LAST, holds
// it with its music, and starts FIRST again once LAST has ended. Program
// thread: between passes of the main loop, but for the loop, which runs as
// a plugin of the pass just before the Timeline.
#pragma once

#include <cstdint>

#include "host/timeline.h"

namespace aqtool {

class PreviewPlayer {
public:
    static constexpr std::int32_t SKIP_MS = 1000;  // Left and Right

    explicit PreviewPlayer(const SceneRange& range);
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Puts the loop before the Timeline on the timeline carrier, which owns
    // it from then on. False (reported) when memory runs out.
    bool AttachLoop();
    // Starts the music and the clock together at FIRST's start, as the demo
    // does; every scene of the range is loaded.
    void Start();

    // The music time now, in milliseconds of the show.
    std::uint32_t MusicTime() const;
    std::int32_t Scene() const { return gTimeline->currentScene; }
    bool Paused() const { return paused_; }
    const SceneRange& Range() const { return range_; }

    // Space: holds picture and music where they are, or lets them go on.
    void TogglePause();
    // Left and Right: milliseconds back or forward, no further back than
    // FIRST's start; past LAST's end the show starts again.
    void Skip(std::int32_t milliseconds);
    // Page Up and Page Down: the start of the scene before or after this
    // one, LAST's coming before FIRST's and FIRST's after LAST's.
    void SkipScenes(std::int32_t scenes);
    // Home: the start of FIRST.
    void Restart();

    // Places the lists again at the music time now: every pass while held,
    // so that the picture stays, and after a reload, whose scenes have new lists.
    void Replace();
    // The music has a new stream: it plays on from the music time now.
    void ReplaceMusic();

private:
    static void Loop();

    void GoTo(std::uint32_t musicTime);
    void Place(std::uint32_t musicTime);
    void PlayMusicFrom(std::uint32_t musicTime);
    std::int32_t SceneAt(std::uint32_t musicTime) const;
    std::uint32_t ShowStart() const;
    std::uint32_t ShowEnd() const;

    const SceneRange range_;
    bool paused_ = false;
    std::uint32_t heldTime_ = 0;     // the music time while held
    bool musicMoved_ = false;        // the show moved while held: the music starts anew
    int channel_ = 0;                // where the music plays
};

}  // namespace aqtool
