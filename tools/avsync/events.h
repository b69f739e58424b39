// The events a run of the demo is measured at, the start and every cut, and
// where the probes' records have them: the sound by correlating the decoded
// track around the event's music time with the recording, the picture as the
// largest change of the middle of the screen within 150 ms of where the
// demo's clock puts it (the first frame out of the black, for the start).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/audio/pcm.h"
#include "tools/avsync/recording.h"
#include "tools/avsync/screen_log.h"

struct Event {
    int scene;                // the scene that begins
    std::int64_t musicMs;     // where it begins in the track
    std::int64_t frame = -1;  // the recording's frame that holds it
    double pictureNs = 0, soundNs = 0;
    double correlation = 0, spreadMs = 0, jump = 0;
    bool heard = false, seen = false;  // its sound, its picture found
    bool Found() const { return heard && seen; }
};

// The start of scene first and the cuts into every scene after it up to last.
std::vector<Event> Events(int first, int last);

// The track's two channels mixed, as the recording has them.
std::vector<float> MonoOf(const Pcm& pcm);

// Frames of the recording in ms milliseconds (FrameAt counts from the track's start).
std::int64_t Frames(std::int64_t ms);

// Finds every event's sound in the recording of track (mono), each cut after
// the event before it.
void FindSounds(const std::vector<float>& track, const Recording& recording, std::vector<Event>& events);

// Finds every event's picture where the demo's clock puts it: as far from
// the start's sound as the music from the start (the sound itself may have
// fallen behind by what the server put in).
void FindPictures(const std::vector<ScreenChange>& changes, std::vector<Event>& events);

// Sound after picture, in milliseconds.
double OffsetMs(const Event& event);
