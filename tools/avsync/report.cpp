// aqavsync ARCHIVE FIRST LAST SCREEN PCM TIMES: how far apart the demo's
// sound and picture reached the probes while it played scenes FIRST to LAST
// (tools/avsync/events.h finds them). One line per event, the start and every
// cut, its times in milliseconds from the start's sound and its offset, sound
// after picture positive; then the mean and the worst of the cuts, the mean
// of the last five, how sound and picture moved against the music's own time
// from the first cut to the last, and the silence the server put in.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/error.h"
#include "host/timeline.h"
#include "tools/audio/showtrack.h"
#include "tools/avsync/alignment.h"
#include "tools/avsync/events.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr double NS_PER_MS = 1e6;
constexpr std::int64_t GAP_MS = 2;
constexpr int LAST_CUTS = 5;

void PrintEvents(const std::vector<Event>& events)
{
    const double zero = events.front().heard ? events.front().soundNs : 0;
    std::printf("times from the start's sound, at %.0f ns on the monotonic clock\n", zero);
    std::printf("%-8s %8s %11s %11s %9s %6s %7s %6s\n", "event", "music", "picture", "sound", "offset",
                "corr", "spread", "jump");
    for (const Event& event : events) {
        if (!event.Found()) {
            std::printf("%-3s %-4d %8lld  %s not found\n", &event == &events.front() ? "in" : "cut", event.scene,
                        static_cast<long long>(event.musicMs), event.heard ? "picture" : "sound");
            continue;
        }
        std::printf("%-3s %-4d %8lld %11.1f %11.1f %+9.1f %6.3f %7.1f %6.1f\n",
                    &event == &events.front() ? "in" : "cut", event.scene, static_cast<long long>(event.musicMs),
                    (event.pictureNs - zero) / NS_PER_MS, (event.soundNs - zero) / NS_PER_MS, OffsetMs(event),
                    event.correlation, event.spreadMs, event.jump);
    }
}

// The mean offset of cuts[from...]; NAN for none.
double MeanOffset(const std::vector<const Event*>& cuts, std::size_t from)
{
    double sum = 0;
    for (std::size_t i = from; i < cuts.size(); ++i)
        sum += OffsetMs(*cuts[i]);
    return cuts.size() > from ? sum / static_cast<double>(cuts.size() - from) : NAN;
}

void PrintSummary(const std::vector<Event>& events, const Recording& recording)
{
    std::vector<const Event*> cuts;
    const Event* worst = nullptr;
    for (std::size_t i = 1; i < events.size(); ++i) {
        if (!events[i].Found())
            continue;
        cuts.push_back(&events[i]);
        worst = worst && std::fabs(OffsetMs(*worst)) >= std::fabs(OffsetMs(events[i])) ? worst : &events[i];
    }
    const double start = events.front().Found() ? OffsetMs(events.front()) : NAN;
    if (cuts.empty()) {
        std::printf("summary start %+.1f cuts 0\n", start);
        return;
    }
    const Event& first = *cuts.front();
    const Event& last = *cuts.back();
    const auto drift = [&first, &last](double Event::*time) {
        return (last.*time - first.*time) / NS_PER_MS - static_cast<double>(last.musicMs - first.musicMs);
    };
    const std::int64_t from = events.front().heard ? events.front().frame : first.frame;
    const Gaps gaps = SilentGaps(recording.mono, from, last.frame, Frames(GAP_MS));
    std::printf("summary start %+.1f cuts %zu mean %+.1f worst %+.1f last %+.1f drift sound %+.1f picture %+.1f"
                " over %.0f s gaps %d %.1f ms\n",
                start, cuts.size(), MeanOffset(cuts, 0), OffsetMs(*worst),
                MeanOffset(cuts, cuts.size() > LAST_CUTS ? cuts.size() - LAST_CUTS : 0), drift(&Event::soundNs),
                drift(&Event::pictureNs), (last.musicMs - first.musicMs) / 1000.0, gaps.count, gaps.totalMs);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fputs("usage: aqavsync ARCHIVE FIRST LAST SCREEN PCM TIMES\n", stderr);
        return EXIT_USAGE;
    }
    const int first = std::atoi(argv[2]);
    const int last = std::atoi(argv[3]);
    DecodedTrack track;
    Recording recording;
    std::vector<ScreenChange> changes;
    if (first < 0 || last < first || last >= SCENE_COUNT) {
        std::fputs("aqavsync: the scenes are 0 to 50, the first not after the last\n", stderr);
        return EXIT_USAGE;
    }
    if (!LoadShowTrack(argv[1], &track)) {
        std::fputs(Error::Text(), stderr);
        return EXIT_FAILED;
    }
    if (!LoadScreenLog(argv[4], &changes) || !LoadRecording(argv[5], argv[6], &recording)) {
        std::fputs("aqavsync: the probes' files cannot be read or are empty\n", stderr);
        return EXIT_FAILED;
    }
    std::vector<Event> events = Events(first, last);
    FindSounds(MonoOf(track.pcm), recording, events);
    FindPictures(changes, events);
    PrintEvents(events);
    PrintSummary(events, recording);
    return EXIT_OK;
}
