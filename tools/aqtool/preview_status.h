// What a preview says of itself: one status line on stderr (the scene, its
// name, the music time within the scene and in the show, and whether it is
// held), redrawn in place on a terminal and written anew elsewhere whenever
// the scene or the hold changes, or the held time moves; and the window's
// title, which says when a load failed. Program thread; nothing here allocates once the title is set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace aqtool {

class PreviewPlayer;

constexpr const char* PREVIEW_TITLE = "Aquarium preview";
constexpr const char* PREVIEW_FAILED_TITLE = "Aquarium preview - the load failed";

class PreviewStatus {
public:
    // How often a terminal's line is redrawn.
    static constexpr std::uint32_t REDRAW_MS = 100;

    PreviewStatus();
    PreviewStatus(const PreviewStatus&) = delete;
    PreviewStatus& operator=(const PreviewStatus&) = delete;

    // The line for player at nowMs (the demo's clock), when it is due.
    void Show(const PreviewPlayer& player, std::uint32_t nowMs);
    // Ends the line drawn, so that what stderr says next has a line of its
    // own; the status follows it anew.
    void Break();
    // The window's title for whether a load failed; set when that changes.
    void ShowFailing(bool failing);

private:
    static constexpr std::size_t LINE_SIZE = 256;

    bool Due(const PreviewPlayer& player, std::uint32_t nowMs) const;
    void Format(const PreviewPlayer& player);

    const bool terminal_;
    bool drawn_ = false;          // a line is on the terminal, not yet ended
    bool written_ = false;        // a line was written since the last break
    std::uint32_t shownAt_ = 0;   // when it was
    std::int32_t shownScene_ = -1;
    bool shownPaused_ = false;
    std::uint32_t shownTime_ = 0; // the music time shown
    int titleFailing_ = -1;       // the title shown: 1 failing, 0 not, -1 none yet
    char line_[LINE_SIZE] = {};
};

}  // namespace aqtool
