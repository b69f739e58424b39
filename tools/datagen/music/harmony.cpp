// Scale and chord arithmetic on MIDI keys.
#include "tools/datagen/music/harmony.h"

#include <algorithm>

namespace {

constexpr int OCTAVE = 12;

const std::array<int, 7>& Steps(Mode mode)
{
    static const std::array<int, 7> minor = {0, 2, 3, 5, 7, 8, 10};
    static const std::array<int, 7> major = {0, 2, 4, 5, 7, 9, 11};
    static const std::array<int, 7> phrygian = {0, 1, 3, 5, 7, 8, 10};
    static const std::array<int, 7> harmonicMinor = {0, 2, 3, 5, 7, 8, 11};
    switch (mode) {
    case Mode::MAJOR:
        return major;
    case Mode::PHRYGIAN:
        return phrygian;
    case Mode::HARMONIC_MINOR:
        return harmonicMinor;
    case Mode::MINOR:
        break;
    }
    return minor;
}

// key moved by octaves into [low, low + 12).
int IntoOctave(int key, int low)
{
    const int offset = ((key - low) % OCTAVE + OCTAVE) % OCTAVE;
    return low + offset;
}

}  // namespace

int DegreeKey(int tonicKey, Mode mode, int degree)
{
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    const int inOctave = degree - octave * 7;
    return tonicKey + octave * OCTAVE + Steps(mode)[static_cast<std::size_t>(inOctave)];
}

std::array<int, 3> ChordIntervals(Quality quality)
{
    switch (quality) {
    case Quality::MINOR:
        return {0, 3, 7};
    case Quality::POWER:
        return {0, 7, 12};
    case Quality::SUS4:
        return {0, 5, 7};
    case Quality::MAJOR:
        break;
    }
    return {0, 4, 7};
}

std::vector<int> ChordKeysAround(int tonicKey, const Chord& chord, int low)
{
    std::vector<int> keys;
    for (const int interval : ChordIntervals(chord.quality))
        keys.push_back(IntoOctave(tonicKey + chord.root + interval, low));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

int RootKeyAround(int tonicKey, const Chord& chord, int low) { return IntoOctave(tonicKey + chord.root, low); }
