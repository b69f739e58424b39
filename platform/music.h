// The music library the demo plays its track with: the FSOUND calls the host
// makes, with the results, stream handles and last-error codes it relies on.
// A MusicBackend does the work: SDL2_mixer for real, a scripted fake in tests.
// Calls are made from the one program thread; playing runs on the backend's own.
// FSOUND_Stream_Play keeps the promise the host's clock is built on, that the
// music starts when it returns: it returns when the first sample is heard,
// less the time the picture of that moment takes to be seen. Before any scene
// is drawn that time is not known yet; the sound then follows the picture's
// latency as the frames tell it, held back by what it turned out longer.
#pragma once

#include <cstdint>

namespace platform {

// A stream opened by FSOUND_Stream_OpenFile; only its backend knows what it is.
// It stays valid until FSOUND_Close.
struct MusicStream;

// Output types of FSOUND_SetOutput.
constexpr int FSOUND_OUTPUT_SILENT = 0;  // decodes and keeps time on no sound card
constexpr int FSOUND_OUTPUT_DEVICE = 2;  // the machine's audio device

// Mode bits of FSOUND_Stream_OpenFile.
constexpr std::uint32_t FSOUND_2D = 0x2000;
constexpr std::uint32_t FSOUND_LOADMEMORY = 0x8000;  // the name argument is the file's bytes

// The channel argument of FSOUND_Stream_Play that lets the library choose.
constexpr int FSOUND_FREE = -1;

// Last-error codes of FSOUND_GetError; the host names every code 0 to 19.
constexpr int FSOUND_ERR_NONE = 0;
constexpr int FSOUND_ERR_BUSY = 1;           // the call needs FSOUND_Close first
constexpr int FSOUND_ERR_UNINITIALIZED = 2;  // the call needs FSOUND_Init first
constexpr int FSOUND_ERR_INIT = 3;           // the output could not be opened
constexpr int FSOUND_ERR_PLAY = 5;
constexpr int FSOUND_ERR_FILE_NOTFOUND = 9;  // no bytes were handed over
constexpr int FSOUND_ERR_FILE_FORMAT = 10;   // the bytes are not an MP3 stream
constexpr int FSOUND_ERR_FILE_BAD = 11;      // an MP3 stream that cannot be decoded
constexpr int FSOUND_ERR_MEMORY = 12;
constexpr int FSOUND_ERR_INVALID_PARAM = 14;

// What the output tells of when a started stream is first heard: its first
// sample went to the output at mixedAt and is heard heardAfterMicroseconds later.
struct OutputTiming {
    std::int64_t mixedAt = 0;  // performance counter
    std::int64_t heardAfterMicroseconds = 0;
};

// The performance-counter value at which the first sample of timing is heard.
std::int64_t FirstSampleHeardAt(const OutputTiming& timing, std::int64_t frequency);

// What a music backend provides; the FSOUND_* functions below forward to it.
class MusicBackend {
public:
    virtual ~MusicBackend() = default;

    // Chooses the output of the next Init. False before Close once initialised,
    // or for a type other than the two above.
    virtual bool SetOutput(int outputType) = 0;
    // Opens the chosen output for 16-bit stereo at mixRate. False when it
    // cannot be opened or is open already.
    virtual bool Init(int mixRate, int maxChannels, std::uint32_t flags) = 0;
    // The code of the last call that failed; FSOUND_ERR_NONE when none has.
    virtual int GetError() = 0;
    // Stops playing, releases every stream and the output. Harmless when not open.
    virtual void Close() = 0;
    // With FSOUND_LOADMEMORY in mode, data is the whole MP3 file of length
    // bytes, which the caller keeps alive and unchanged while the stream
    // exists. Null on failure.
    virtual MusicStream* StreamOpenFile(const char* data, std::uint32_t mode, int length) = 0;
    // Positions the stream; before StreamPlay, playing starts there.
    virtual bool StreamSetTime(MusicStream* stream, int milliseconds) = 0;
    // Plays the stream once from its position; the channel used, or -1.
    virtual int StreamPlay(int channel, MusicStream* stream) = 0;
    // Stops the stream where it plays; it stays open, and a later StreamPlay
    // begins where StreamSetTime put it. Harmless for a stream that is not playing.
    virtual bool StreamStop(MusicStream* stream) = 0;
    // Stops the stream and releases it; its handle means nothing afterwards,
    // and its bytes are the caller's to free.
    virtual bool StreamClose(MusicStream* stream) = 0;
    // Holds (true) or goes on with (false) what plays on channel, the channel
    // StreamPlay answered, where it is. False when nothing was started there.
    virtual bool SetPaused(int channel, bool paused) = 0;
    // The position that is being decoded now, in milliseconds; -1 on failure.
    // Tests and tools read it; the demo follows its own clock.
    virtual int StreamGetTime(MusicStream* stream) = 0;
    // Once StreamPlay has begun a stream: what the output tells of when it is
    // heard. False when nothing is heard (the silent output, a file, no
    // device) or the output cannot tell; then nothing waits.
    virtual bool StartTiming(OutputTiming&) { return false; }
    // Holds what is heard back by microseconds from now on, reached gradually;
    // 0 plays it as mixed. A new StreamPlay starts with no delay.
    virtual void DelaySound(std::int64_t) {}
};

// The backend in use: the real one unless a test installed another.
MusicBackend& Music();
// Installs backend for every later call; null brings back the real one. The
// caller keeps ownership.
void InstallMusic(MusicBackend* backend);

// The calls by the library's own names.
bool FSOUND_SetOutput(int outputType);
bool FSOUND_Init(int mixRate, int maxChannels, std::uint32_t flags);
int FSOUND_GetError();
void FSOUND_Close();
MusicStream* FSOUND_Stream_OpenFile(const char* data, std::uint32_t mode, int length);
bool FSOUND_Stream_SetTime(MusicStream* stream, int milliseconds);
int FSOUND_Stream_Play(int channel, MusicStream* stream);
bool FSOUND_Stream_Stop(MusicStream* stream);
bool FSOUND_Stream_Close(MusicStream* stream);
bool FSOUND_SetPaused(int channel, bool paused);
int FSOUND_Stream_GetTime(MusicStream* stream);

// After every frame presented. While a stream that told when it is heard
// plays, its sound is held back by however much the picture of a moment now
// takes longer to be seen than the play call allowed for.
void PictureShown();

}  // namespace platform
