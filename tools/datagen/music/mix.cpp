// The mix desk: at every section start each channel gets its program,
// volume, pan and effect sends; building sections swell their pads in.
#include <array>

#include "tools/datagen/music/parts.h"

namespace {

constexpr int ORCHESTRA_HIT = 55;
constexpr int TIMPANI_PROGRAM = 47;
constexpr int DRUM_BANK = 128;
constexpr int FULL = 127;

struct ChannelMix {
    std::uint8_t channel;
    int volume;  // CC 7
    int pan;     // CC 10, 64 centre
    int reverb;  // CC 91
    int chorus;  // CC 93
};

constexpr std::array<ChannelMix, CHANNEL_COUNT - 1> MIX = {{
    {PAD, 88, 64, 72, 40},
    {STRINGS, 84, 56, 70, 30},
    {BASS, 104, 64, 8, 0},
    {LEAD, 100, 64, 48, 20},
    {ARPEGGIO, 72, 38, 60, 30},
    {STABS, 84, 88, 40, 10},
    {HITS, 100, 64, 64, 0},
    {COUNTER, 82, 78, 55, 10},
    {TIMPANI, 104, 58, 60, 0},
    {DRUMS, 112, 64, 32, 0},
}};

int ProgramOf(const Section& section, std::uint8_t channel)
{
    switch (channel) {
    case PAD:
        return section.programs.pad;
    case STRINGS:
        return section.programs.strings;
    case BASS:
        return section.programs.bass;
    case LEAD:
        return section.programs.lead;
    case ARPEGGIO:
        return section.programs.arpeggio;
    case STABS:
        return section.programs.stabs;
    case COUNTER:
        return section.programs.counter;
    case HITS:
        return ORCHESTRA_HIT;
    case TIMPANI:
        return TIMPANI_PROGRAM;
    default:
        return NONE;
    }
}

// Calm sections sit further back in the room.
int ReverbOf(const Section& section, const ChannelMix& mix)
{
    const bool roomy = section.style == Style::BREAKDOWN || section.style == Style::CALM ||
                       section.style == Style::CODA || section.style == Style::BUILD;
    return roomy ? mix.reverb + 25 : mix.reverb;
}

void SetUpSection(const Bar& bar, Score* score)
{
    const Section& section = *bar.section;
    for (const ChannelMix& mix : MIX) {
        const int program = ProgramOf(section, mix.channel);
        if (mix.channel == DRUMS && section.programs.drumKit != NONE)
            score->Choose(DRUMS, bar.startMs, section.programs.drumKit, DRUM_BANK);
        else if (program != NONE)
            score->Choose(mix.channel, bar.startMs, program);
        score->Set(mix.channel, bar.startMs, CC_VOLUME, mix.volume);
        score->Set(mix.channel, bar.startMs, CC_PAN, mix.pan);
        score->Set(mix.channel, bar.startMs, CC_REVERB, ReverbOf(section, mix));
        score->Set(mix.channel, bar.startMs, CC_CHORUS, mix.chorus);
        score->Set(mix.channel, bar.startMs, CC_EXPRESSION, FULL);
    }
}

// The intro's pad swells in over its first eight bars.
void SwellIn(const std::vector<Bar>& bars, std::size_t first, Score* score)
{
    constexpr std::size_t SWELL_BARS = 8;
    const std::size_t last = std::min(first + SWELL_BARS, bars.size() - 1);
    score->Ramp(PAD, bars[first].startMs, bars[last].startMs, CC_EXPRESSION, 88, FULL);
}

}  // namespace

void WriteMix(const std::vector<Bar>& bars, Score* score)
{
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (bars[i].indexInSection != 0)
            continue;
        SetUpSection(bars[i], score);
        if (bars[i].section->style == Style::BUILD)
            SwellIn(bars, i, score);
    }
}
