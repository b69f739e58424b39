// aqavsync ARCHIVE FIRST LAST SCREEN PCM TIMES: how far apart the demo's
// sound and picture reached the probes while it played scenes FIRST to LAST.
// The sound of each cut is found by correlating the decoded track around the
// cut's music time with the recording; the picture's is the largest change
// of the middle of the screen within 150 ms of where the demo's clock puts
// it (the first frame out of the black, for the start). One line per event, the start and every
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
#include "tools/avsync/recording.h"
#include "tools/avsync/screen_log.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr double NS_PER_MS = 1e6;
constexpr float FIRST_SOUND_LEVEL = 0.003f;
constexpr double MIN_CORRELATION = 0.8;
constexpr double FIRST_PICTURE_LEVEL = 6.0;  // summed mean red, green and blue
// How far the events are looked for: the start without a guess of its own,
// a cut around where the last one was plus the music between them (and as
// far as the start when it is not there).
constexpr std::int64_t START_REACH_MS = 300;
constexpr std::int64_t CUT_REACH_MS = 40;
constexpr std::int64_t START_STRETCH_MS = 200;
constexpr std::int64_t CUT_LEAD_MS = 20;
constexpr std::int64_t CUT_STRETCH_MS = 100;
constexpr double CUT_PICTURE_REACH_MS = 150;
constexpr double START_PICTURE_EARLY_MS = 50;
constexpr double START_PICTURE_LATE_MS = 500;
constexpr std::int64_t GAP_MS = 2;
constexpr int LAST_CUTS = 5;

struct Event {
    int scene;             // the scene that begins
    std::int64_t musicMs;  // where it begins in the track
    std::int64_t frame = -1;  // the recording's frame that holds it
    double pictureNs = 0, soundNs = 0;
    double correlation = 0, spreadMs = 0, jump = 0;
    bool heard = false, seen = false;  // its sound, its picture found
    bool Found() const { return heard && seen; }
};

std::vector<Event> Events(int first, int last)
{
    std::vector<Event> events;
    events.push_back({first, first == 0 ? 0 : static_cast<std::int64_t>(SCENE_END_TIMES[first - 1])});
    for (int scene = first; scene < last; ++scene)
        events.push_back({scene + 1, static_cast<std::int64_t>(SCENE_END_TIMES[scene])});
    return events;
}

std::vector<float> MonoOf(const Pcm& pcm)
{
    std::vector<float> mono(pcm.Frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (pcm.samples[2 * i] + pcm.samples[2 * i + 1]);
    return mono;
}

// Frames of the recording in ms milliseconds (FrameAt counts from the track's start).
std::int64_t Frames(std::int64_t ms) { return static_cast<std::int64_t>(FrameAt(ms)); }

// Finds every event's sound, each cut after the event before it.
void FindSounds(const std::vector<float>& track, const Recording& recording, std::vector<Event>& events)
{
    std::int64_t guess = FirstSound(recording.mono, 0, FIRST_SOUND_LEVEL);
    std::int64_t lastMusicMs = events.front().musicMs;
    for (Event& event : events) {
        const bool start = &event == &events.front();
        guess += Frames(event.musicMs) - Frames(lastMusicMs);
        const std::int64_t lead = start ? 0 : Frames(CUT_LEAD_MS);
        const std::int64_t length = Frames(start ? START_STRETCH_MS : CUT_STRETCH_MS);
        const std::int64_t from = Frames(event.musicMs) - lead;
        Match match = FindInRecording(track, from, length, recording.mono, guess - lead,
                                      Frames(start ? START_REACH_MS : CUT_REACH_MS));
        // Silence the server put in since the last event moves the sound further.
        if (!start && match.correlation < MIN_CORRELATION)
            match = FindInRecording(track, from, length, recording.mono, guess - lead, Frames(START_REACH_MS));
        if (match.frame < 0 || guess < 0)
            return;
        lastMusicMs = event.musicMs;
        // A poor match (the sound broken up where the server ran dry) leaves
        // the event unheard and the next one guessed from the music's time.
        if (match.correlation < MIN_CORRELATION)
            continue;
        const std::int64_t frame = match.frame + lead;
        const HeardTime heard = HeardAt(recording, frame);
        event.frame = frame;
        event.soundNs = heard.nanoseconds;
        event.spreadMs = heard.spreadMs;
        event.correlation = match.correlation;
        event.heard = heard.nanoseconds > 0;
        guess = frame;
    }
}

// Finds every event's picture where the demo's clock puts it: as far from
// the start's sound as the music from the start (the sound itself may have
// fallen behind by what the server put in).
void FindPictures(const std::vector<ScreenChange>& changes, std::vector<Event>& events)
{
    const Event& start = events.front();
    for (Event& event : events) {
        if (!event.heard)
            continue;
        const double at = start.heard ? start.soundNs + (event.musicMs - start.musicMs) * NS_PER_MS : event.soundNs;
        const std::int64_t change =
            &event == &start
                ? FirstPicture(changes, FIRST_PICTURE_LEVEL, at - START_PICTURE_EARLY_MS * NS_PER_MS,
                               at + START_PICTURE_LATE_MS * NS_PER_MS)
                : LargestJump(changes, at - CUT_PICTURE_REACH_MS * NS_PER_MS, at + CUT_PICTURE_REACH_MS * NS_PER_MS);
        if (change < 0)
            continue;
        event.seen = true;
        event.pictureNs = changes[change].nanoseconds;
        event.jump = changes[change].jump;
    }
}

double OffsetMs(const Event& event) { return (event.soundNs - event.pictureNs) / NS_PER_MS; }

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
