// Finding the events in the probes' records.
#include "tools/avsync/events.h"

#include "host/timeline.h"
#include "tools/avsync/alignment.h"

namespace {

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

}  // namespace

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

std::int64_t Frames(std::int64_t ms) { return static_cast<std::int64_t>(FrameAt(ms)); }

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
