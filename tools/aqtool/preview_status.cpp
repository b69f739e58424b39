// The preview's status line and title; see preview_status.h.
#include "tools/aqtool/preview_status.h"

#include <unistd.h>

#include <cstdio>

#include "host/aquarium.h"
#include "host/timeline.h"
#include "platform/platform.h"
#include "tools/aqtool/preview_player.h"
#include "tools/aqtool/scene_slot.h"

namespace aqtool {

namespace {

constexpr std::uint32_t MILLISECONDS_PER_SECOND = 1000;
constexpr const char* CLEAR_TO_END = "\x1b[K";

}  // namespace

PreviewStatus::PreviewStatus() : terminal_(isatty(STDERR_FILENO) != 0) {}

void PreviewStatus::Show(const PreviewPlayer& player, std::uint32_t nowMs)
{
    if (!Due(player, nowMs))
        return;
    shownAt_ = nowMs;
    shownScene_ = player.Scene();
    shownPaused_ = player.Paused();
    shownTime_ = player.MusicTime();
    written_ = true;
    Format(player);
    if (terminal_) {
        std::fprintf(stderr, "\r%s%s", line_, CLEAR_TO_END);
        drawn_ = true;
    } else {
        std::fprintf(stderr, "%s\n", line_);
    }
}

void PreviewStatus::Break()
{
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
    written_ = false;
}

void PreviewStatus::ShowFailing(bool failing)
{
    if (titleFailing_ == (failing ? 1 : 0))
        return;
    titleFailing_ = failing ? 1 : 0;
    platform::Os().SetWindowText(gDisplay.window, failing ? PREVIEW_FAILED_TITLE : PREVIEW_TITLE);
}

// A terminal's line follows the time; a log gets a line for each change.
bool PreviewStatus::Due(const PreviewPlayer& player, std::uint32_t nowMs) const
{
    if (!written_ || player.Scene() != shownScene_ || player.Paused() != shownPaused_ ||
        (player.Paused() && player.MusicTime() != shownTime_))
        return true;
    return terminal_ && nowMs - shownAt_ >= REDRAW_MS;
}

// "scene 10 data\canyon\scenes\cut6.scn  1.250 of 4.000 s  show 69.250 s", held or not.
void PreviewStatus::Format(const PreviewPlayer& player)
{
    const std::int32_t scene = player.Scene();
    const std::uint32_t show = player.MusicTime();
    const std::uint32_t within = show - SlotStart(scene);
    const std::uint32_t length = SlotLength(scene);
    std::snprintf(line_, sizeof line_, "scene %d %s  %u.%03u of %u.%03u s  show %u.%03u s%s", scene,
                  SCENE_TABLE[scene], within / MILLISECONDS_PER_SECOND, within % MILLISECONDS_PER_SECOND,
                  length / MILLISECONDS_PER_SECOND, length % MILLISECONDS_PER_SECOND, show / MILLISECONDS_PER_SECOND,
                  show % MILLISECONDS_PER_SECOND, player.Paused() ? "  paused" : "");
}

}  // namespace aqtool
