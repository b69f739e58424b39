// FluidSynth rendering. Events are applied between blocks of output at their
// exact frame (FluidSynth itself starts them on its next 64-frame block, 1.5
// ms at most). The channels are split between two synthesisers on two
// threads and their outputs summed; each synthesiser, made before either
// plays, runs alone on its own events, so the sum is the same on every run.
#include "tools/datagen/music/render.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <memory>
#include <thread>

#include "host/error.h"

namespace {

constexpr int MIDI_KEYS = 128;
constexpr int MIDI_CHANNELS = 16;
constexpr std::size_t BLOCK_FRAMES = 4096;
constexpr std::size_t SHORTEST_NOTE_FRAMES = 64;

enum class Kind { PROGRAM = 0, CONTROL = 1, NOTE_OFF = 2, NOTE_ON = 3 };

struct Action {
    std::size_t frame;
    Kind kind;
    std::size_t index;  // into the score's list of that kind
};

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
using Settings = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using Synth = std::unique_ptr<fluid_synth_t, SynthDeleter>;

void Silence()
{
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
}

Settings MakeSettings()
{
    Settings settings(new_fluid_settings());
    if (!settings)
        return settings;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", PCM_RATE);
    fluid_settings_setnum(settings.get(), "synth.gain", 0.3);
    fluid_settings_setint(settings.get(), "synth.polyphony", 512);
    fluid_settings_setint(settings.get(), "synth.cpu-cores", 1);
    fluid_settings_setint(settings.get(), "synth.threadsafe-api", 0);
    fluid_settings_setint(settings.get(), "synth.reverb.active", 1);
    fluid_settings_setint(settings.get(), "synth.chorus.active", 1);
    return settings;
}

void SetRoom(fluid_synth_t* synth)
{
    constexpr int ALL_GROUPS = -1;
    fluid_synth_set_reverb_group_roomsize(synth, ALL_GROUPS, 0.72);
    fluid_synth_set_reverb_group_damp(synth, ALL_GROUPS, 0.35);
    fluid_synth_set_reverb_group_width(synth, ALL_GROUPS, 0.9);
    fluid_synth_set_reverb_group_level(synth, ALL_GROUPS, 0.55);
}

// The two halves of the band, about equal in work (measured): drums, bass,
// lead, strings and the hits on one synthesiser; pads, arpeggio, stabs and
// the counter line on the other.
bool InFirstHalf(std::uint8_t channel)
{
    return channel == DRUMS || channel == BASS || channel == LEAD || channel == STRINGS || channel == HITS ||
           channel == TIMPANI;
}

std::vector<Action> Schedule(const Score& score, bool firstHalf)
{
    std::vector<Action> actions;
    for (std::size_t i = 0; i < score.programs.size(); ++i) {
        if (InFirstHalf(score.programs[i].channel) == firstHalf)
            actions.push_back({FrameAt(score.programs[i].timeMs), Kind::PROGRAM, i});
    }
    for (std::size_t i = 0; i < score.controls.size(); ++i) {
        if (InFirstHalf(score.controls[i].channel) == firstHalf)
            actions.push_back({FrameAt(score.controls[i].timeMs), Kind::CONTROL, i});
    }
    for (std::size_t i = 0; i < score.notes.size(); ++i) {
        const Note& note = score.notes[i];
        if (InFirstHalf(note.channel) != firstHalf)
            continue;
        const std::size_t on = FrameAt(note.startMs);
        actions.push_back({on, Kind::NOTE_ON, i});
        actions.push_back({std::max(FrameAt(note.startMs + note.lengthMs), on + SHORTEST_NOTE_FRAMES), Kind::NOTE_OFF, i});
    }
    std::stable_sort(actions.begin(), actions.end(), [](const Action& a, const Action& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.kind < b.kind;
    });
    return actions;
}

class Performer {
public:
    Performer(fluid_synth_t* synth, const Score& score, Pcm* pcm) : synth_(synth), score_(score), pcm_(pcm)
    {
        owner_.fill(NO_OWNER);
    }

    // Renders up to frame, then applies the action.
    void Perform(const Action& action)
    {
        RenderUntil(action.frame);
        switch (action.kind) {
        case Kind::PROGRAM: {
            const ProgramChoice& choice = score_.programs[action.index];
            fluid_synth_bank_select(synth_, choice.channel, choice.bank);
            fluid_synth_program_change(synth_, choice.channel, choice.program);
            break;
        }
        case Kind::CONTROL: {
            const Control& control = score_.controls[action.index];
            fluid_synth_cc(synth_, control.channel, control.controller, control.value);
            break;
        }
        case Kind::NOTE_ON: {
            const Note& note = score_.notes[action.index];
            owner_[Slot(note)] = action.index;
            fluid_synth_noteon(synth_, note.channel, note.key, note.velocity);
            break;
        }
        case Kind::NOTE_OFF: {
            // A key struck again since keeps sounding: only its last note may end it.
            const Note& note = score_.notes[action.index];
            if (owner_[Slot(note)] != action.index)
                break;
            owner_[Slot(note)] = NO_OWNER;
            fluid_synth_noteoff(synth_, note.channel, note.key);
            break;
        }
        }
    }

    void RenderUntil(std::size_t frame)
    {
        frame = std::min(frame, pcm_->Frames());
        while (cursor_ < frame) {
            const auto count = static_cast<int>(std::min(BLOCK_FRAMES, frame - cursor_));
            float* const out = pcm_->samples.data();
            fluid_synth_write_float(synth_, count, out, static_cast<int>(2 * cursor_), 2, out,
                                    static_cast<int>(2 * cursor_ + 1), 2);
            cursor_ += static_cast<std::size_t>(count);
        }
    }

private:
    static constexpr std::size_t NO_OWNER = ~std::size_t{0};
    static std::size_t Slot(const Note& note) { return note.channel * MIDI_KEYS + note.key; }

    fluid_synth_t* synth_;
    const Score& score_;
    Pcm* pcm_;
    std::size_t cursor_ = 0;
    std::array<std::size_t, MIDI_CHANNELS * MIDI_KEYS> owner_;
};

// A synthesiser with the SoundFont loaded and the room set.
struct Band {
    Settings settings;
    Synth synth;
};

// False when the synthesiser cannot be made or the SoundFont not loaded.
// Bands are made one after the other: the first fills FluidSynth's shared
// tables and its cache of the SoundFont's samples, which the second then
// only reads.
bool MakeBand(const char* soundFontPath, Band& band)
{
    band.settings = MakeSettings();
    band.synth.reset(band.settings ? new_fluid_synth(band.settings.get()) : nullptr);
    if (!band.synth || fluid_synth_sfload(band.synth.get(), soundFontPath, 1) == FLUID_FAILED)
        return false;
    SetRoom(band.synth.get());
    return true;
}

// One synthesiser playing its half of the score into pcm.
void PlayHalf(fluid_synth_t* synth, const Score& score, bool firstHalf, std::size_t frames, Pcm* pcm)
{
    pcm->Resize(frames);
    Performer performer(synth, score, pcm);
    for (const Action& action : Schedule(score, firstHalf))
        performer.Perform(action);
    performer.RenderUntil(frames);
}

}  // namespace

bool RenderInstruments(const Score& score, const char* soundFontPath, std::size_t frames, Pcm* pcm)
{
    Silence();
    Band first, second;
    if (!MakeBand(soundFontPath, first) || !MakeBand(soundFontPath, second)) {
        Error::Report(3, "RenderInstruments: FluidSynth could not load the SoundFont (", soundFontPath, ")\n");
        return false;
    }
    Pcm secondHalf;
    std::thread worker([&] { PlayHalf(second.synth.get(), score, false, frames, &secondHalf); });
    PlayHalf(first.synth.get(), score, true, frames, pcm);
    worker.join();
    for (std::size_t i = 0; i < pcm->samples.size(); ++i)
        pcm->samples[i] += secondHalf.samples[i];
    return true;
}
