// The preview's music time and the demo's timeline placed at it; see
// preview_player.h. The Aquarium is filled and every scene of the range is
// loaded before anything here runs but AttachLoop.
#include "tools/aqtool/preview_player.h"

#include <algorithm>
#include <new>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/sound.h"
#include "host/systemobjects.h"
#include "platform/music.h"
#include "scene/scenerecords.h"
#include "tools/aqtool/scene_slot.h"

namespace aqtool {

namespace {

constexpr int MUSIC_CHANNEL = 0;

// The loop's plugin: it finds the player it serves through itself.
class LoopPlugin : public Plugin {
public:
    LoopPlugin(PreviewPlayer& served, Function loop) : player(served) { function = loop; }

    PreviewPlayer& player;
};

}  // namespace

PreviewPlayer::PreviewPlayer(const SceneRange& range) : range_(range) {}

bool PreviewPlayer::AttachLoop()
{
    LoopPlugin* const loop = new (std::nothrow) LoopPlugin(*this, Loop);
    if (loop == nullptr) {
        Error::Report(1, "aqtool preview: Not enough memory for the loop.\n");
        return false;
    }
    Fish::AttachPlugin(&gTimelineCarrier, loop, true);
    return true;
}

void PreviewPlayer::Start() { GoTo(ShowStart()); }

std::uint32_t PreviewPlayer::MusicTime() const
{
    return paused_ ? heldTime_ : gAquarium.currentTime - gTimeline->baseTime;
}

void PreviewPlayer::TogglePause()
{
    if (!paused_) {
        heldTime_ = MusicTime();
        paused_ = true;
        // Held, the clock's passes must switch no scene.
        gTimeline->enabled = 0;
        platform::FSOUND_SetPaused(channel_, true);
        return;
    }
    paused_ = false;
    gTimeline->enabled = 1;
    if (musicMoved_) {
        GoTo(heldTime_);
        return;
    }
    platform::FSOUND_SetPaused(channel_, false);
    Clock::Swim();
    Place(heldTime_);
}

void PreviewPlayer::Skip(std::int32_t milliseconds)
{
    const std::int64_t wanted = std::int64_t{MusicTime()} + milliseconds;
    if (wanted >= ShowEnd())
        GoTo(ShowStart());
    else
        GoTo(static_cast<std::uint32_t>(std::max<std::int64_t>(wanted, ShowStart())));
}

void PreviewPlayer::SkipScenes(std::int32_t scenes)
{
    const std::int32_t count = range_.lastScene - range_.firstScene + 1;
    const std::int32_t offset = Scene() - range_.firstScene + scenes % count + count;
    GoTo(SlotStart(range_.firstScene + offset % count));
}

void PreviewPlayer::Restart() { GoTo(ShowStart()); }

// The clock first: a reload took time, and the music went on meanwhile.
void PreviewPlayer::Replace()
{
    Clock::Swim();
    Place(MusicTime());
}

void PreviewPlayer::ReplaceMusic()
{
    Clock::Swim();
    GoTo(MusicTime());
}

// After LAST, FIRST; the Timeline, which runs next, then finds FIRST current.
void PreviewPlayer::Loop()
{
    PreviewPlayer& player = static_cast<LoopPlugin*>(gAquarium.currentPlugin)->player;
    if (player.paused_ || player.Scene() != player.range_.lastScene)
        return;
    if (gAquarium.currentTime - gTimeline->baseTime >= player.ShowEnd())
        player.GoTo(player.ShowStart());
}

// Held, the show only moves; the music starts there once it goes on. The
// clock is read once the music has started, as the demo reads it.
void PreviewPlayer::GoTo(std::uint32_t musicTime)
{
    if (paused_) {
        heldTime_ = musicTime;
        musicMoved_ = true;
    } else {
        PlayMusicFrom(musicTime);
    }
    Clock::Swim();
    Place(musicTime);
}

// The show where musicTime falls at the clock's time: the Timeline's scene
// and base time, the scene's start and its lists, as the Timeline would
// have left them.
void PreviewPlayer::Place(std::uint32_t musicTime)
{
    const std::int32_t scene = SceneAt(musicTime);
    gTimeline->currentScene = scene;
    gTimeline->baseTime = gAquarium.currentTime - musicTime;
    gSceneObjects[scene]->startTime = gTimeline->baseTime + SlotStart(scene);
    gAquarium.currentObjectList = gObjectLists[scene];
    gAquarium.currentLightList = gLightLists[scene];
}

void PreviewPlayer::PlayMusicFrom(std::uint32_t musicTime)
{
    platform::FSOUND_Stream_Stop(gMusicStream);
    platform::FSOUND_Stream_SetTime(gMusicStream, static_cast<int>(musicTime));
    const int channel = platform::FSOUND_Stream_Play(MUSIC_CHANNEL, gMusicStream);
    channel_ = channel >= 0 ? channel : MUSIC_CHANNEL;
    musicMoved_ = false;
}

std::int32_t PreviewPlayer::SceneAt(std::uint32_t musicTime) const
{
    std::int32_t scene = range_.firstScene;
    while (scene < range_.lastScene && musicTime >= SCENE_END_TIMES[scene])
        ++scene;
    return scene;
}

std::uint32_t PreviewPlayer::ShowStart() const { return SlotStart(range_.firstScene); }

std::uint32_t PreviewPlayer::ShowEnd() const { return SCENE_END_TIMES[range_.lastScene]; }

}  // namespace aqtool
