// One capture of the demo: what it records (scenes, frame rate, where the
// frames and the music go) and the recording itself. The demo's own frame
// loop runs it: each frame swapped once the music plays is read back and
// written, with the music of exactly that frame's time, until the process
// ends and the capture's files are finished. Program thread; the GL context
// is current while frames are taken.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "platform/picture.h"
#include "tools/aqtool/capture_music.h"
#include "tools/writers/wavwriter.h"

namespace aqtool {

// OUTDIR of a capture whose frames go to stdout as raw RGB24, rows top first.
constexpr const char* RAW_OUTPUT = "-";

struct CapturePlan {
    SceneRange range;                 // the scenes and the music time the first begins at
    std::uint32_t framesPerSecond = 0;
    std::string outDir;               // RAW_OUTPUT for stdout
    std::string musicPath;            // the WAV file
    platform::PictureChoice picture;  // the frames' size and multisampling

    bool Raw() const { return outDir == RAW_OUTPUT; }
    // Milliseconds of music from the first scene's start to the last one's end.
    std::uint32_t Duration() const;
    // The frames that show that time: every frame whose clock reading, a
    // whole number of 1000 / FPS ms after the start, falls before the end.
    std::uint32_t FrameCount() const;
    // Audio frames (44.1 kHz) from the start to the time of frame number frame.
    std::uint64_t AudioFramesBefore(std::uint64_t frame) const;
};

class CaptureSession {
public:
    CaptureSession(const CapturePlan& plan, CaptureMusic& music);
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // Makes the output folder, creates the music file and the buffers. False
    // (reported) when they cannot be made.
    bool Open();
    // True once the music plays: from then on every swapped frame is recorded.
    bool Recording() const { return music_.Playing(); }
    // The frame drawn so far is the capture's next one: reads it back, writes
    // it and its music. A failure is reported and ends the show.
    void TakeFrame();
    // The demo has ended: finishes the files and says how the capture went.
    // Answers the tool's exit status, 0 when every frame and its music were
    // written.
    int Finish();

private:
    std::size_t FramePixels() const;
    bool WriteFrame();
    bool WriteRawFrame();
    bool WriteMusic();
    void StopShow(const char* message);
    void ShowProgress(bool last);

    const CapturePlan plan_;
    CaptureMusic& music_;
    WavFile wav_;
    std::unique_ptr<std::uint8_t[]> frame_;    // read back: rows bottom first
    std::unique_ptr<std::uint8_t[]> rows_;     // raw output: rows top first
    std::vector<std::int16_t> samples_;        // one frame's music
    std::vector<char> framePath_;              // OUTDIR/frameNNNNN.tga
    std::uint32_t done_ = 0;                   // frames written
    bool failed_ = false;                      // a frame or its music was not written
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point shown_;  // the last progress line
};

}  // namespace aqtool
