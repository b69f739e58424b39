// The recording of a capture; see capture_session.h.
#include "tools/aqtool/capture_session.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/scenelists.h"
#include "image/screenshot.h"
#include "image/tga.h"
#include "tools/audio/pcm.h"

namespace aqtool {

namespace {

constexpr std::uint64_t MILLISECONDS_PER_SECOND = 1000;
constexpr std::size_t RGB_BYTES = 3;
constexpr std::size_t READ_BACK_BYTES = 4;  // a pixel of the read-back block, row alignment included
constexpr std::int32_t SAVED_BITS = 24;
constexpr std::size_t FRAME_NAME_ROOM = 32;  // "/frame", the number, ".tga", NUL
constexpr auto TERMINAL_INTERVAL = std::chrono::milliseconds(250);
constexpr auto LOG_INTERVAL = std::chrono::seconds(5);


double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Minutes and seconds, rounded up, as "m:ss".
void FormatTimeLeft(double seconds, char (&text)[32])
{
    const unsigned long whole = seconds > 0.0 ? static_cast<unsigned long>(seconds + 0.999) : 0;
    std::snprintf(text, sizeof text, "%lu:%02lu", whole / 60, whole % 60);
}

}  // namespace

std::uint32_t CapturePlan::Duration() const
{
    return SCENE_END_TIMES[range.lastScene] - static_cast<std::uint32_t>(range.startTime);
}

std::uint32_t CapturePlan::FrameCount() const
{
    const std::uint64_t scaled = std::uint64_t{Duration()} * framesPerSecond;
    return static_cast<std::uint32_t>((scaled + MILLISECONDS_PER_SECOND - 1) / MILLISECONDS_PER_SECOND);
}

std::uint64_t CapturePlan::AudioFramesBefore(std::uint64_t frame) const
{
    return frame * PCM_RATE / framesPerSecond;
}

CaptureSession::CaptureSession(const CapturePlan& plan, CaptureMusic& music) : plan_(plan), music_(music) {}

std::size_t CaptureSession::FramePixels() const
{
    return static_cast<std::size_t>(plan_.picture.size.width) * static_cast<std::size_t>(plan_.picture.size.height);
}

bool CaptureSession::Open()
{
    if (!plan_.Raw()) {
        std::error_code error;
        std::filesystem::create_directories(plan_.outDir, error);
        if (error || !std::filesystem::is_directory(plan_.outDir)) {
            Error::Report(3, "aqtool capture: Cannot make the folder (", plan_.outDir.c_str(), ")\n");
            return false;
        }
    }
    const std::size_t musicFrames = static_cast<std::size_t>(plan_.AudioFramesBefore(1)) + 1;
    frame_.reset(new (std::nothrow) std::uint8_t[FramePixels() * READ_BACK_BYTES]);
    rows_.reset(plan_.Raw() ? new (std::nothrow) std::uint8_t[FramePixels() * RGB_BYTES] : nullptr);
    if (!frame_ || (plan_.Raw() && !rows_)) {
        Error::Report(1, "aqtool capture: Not enough memory for the frames.\n");
        return false;
    }
    samples_.assign(musicFrames * PCM_CHANNELS, 0);
    framePath_.assign(plan_.outDir.size() + FRAME_NAME_ROOM, '\0');
    return wav_.Create(plan_.musicPath, PCM_RATE, PCM_CHANNELS);
}

void CaptureSession::TakeFrame()
{
    if (failed_)
        return;
    if (done_ == plan_.FrameCount()) {
        StopShow("aqtool capture: The show went on past the end of its last scene.\n");
        return;
    }
    if (done_ == 0)
        started_ = shown_ = std::chrono::steady_clock::now();
    if (!WriteFrame()) {
        StopShow("aqtool capture: Error writing a frame\n");
        return;
    }
    if (!WriteMusic()) {
        StopShow("aqtool capture: Error writing the music\n");
        return;
    }
    ++done_;
    ShowProgress(false);
}

bool CaptureSession::WriteFrame()
{
    Screenshot::ReadFrame(frame_.get());
    if (plan_.Raw())
        return WriteRawFrame();
    std::snprintf(framePath_.data(), framePath_.size(), "%s/frame%05u.tga", plan_.outDir.c_str(), done_);
    const platform::PictureSize size = plan_.picture.size;
    return TGA::Save(frame_.get(), framePath_.data(), size.width, size.height, SAVED_BITS);
}

bool CaptureSession::WriteRawFrame()
{
    const std::size_t height = static_cast<std::size_t>(plan_.picture.size.height);
    const std::size_t rowBytes = static_cast<std::size_t>(plan_.picture.size.width) * RGB_BYTES;
    // glReadPixels starts every row on a four-byte boundary.
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    for (std::size_t row = 0; row < height; ++row)
        std::memcpy(rows_.get() + row * rowBytes, frame_.get() + (height - 1 - row) * stride, rowBytes);
    const std::size_t bytes = FramePixels() * RGB_BYTES;
    if (std::fwrite(rows_.get(), 1, bytes, stdout) != bytes) {
        Error::Report(1, "aqtool capture: Error writing to standard output\n");
        return false;
    }
    return true;
}

bool CaptureSession::WriteMusic()
{
    const std::size_t frames =
        static_cast<std::size_t>(plan_.AudioFramesBefore(done_ + 1) - plan_.AudioFramesBefore(done_));
    if (!music_.Decode(samples_.data(), frames)) {
        Error::Report(1, "aqtool capture: The music cannot be decoded on from here\n");
        return false;
    }
    return wav_.Append(samples_.data(), frames);
}

void CaptureSession::StopShow(const char* message)
{
    Error::Report(1, message);
    failed_ = true;
    gAquarium.quit = 1;
}

// On a terminal one line is redrawn, and finished at the end; elsewhere a
// line now and then.
void CaptureSession::ShowProgress(bool last)
{
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    const auto now = std::chrono::steady_clock::now();
    if (last ? !terminal : now - shown_ < (terminal ? TERMINAL_INTERVAL : LOG_INTERVAL))
        return;
    shown_ = now;
    const double seconds = done_ > 0 ? SecondsSince(started_) : 0.0;
    const double rate = seconds > 0.0 ? done_ / seconds : 0.0;
    char left[32];
    FormatTimeLeft(rate > 0.0 ? (plan_.FrameCount() - done_) / rate : 0.0, left);
    std::fprintf(stderr, "%scapture: frame %u of %u, %.1f frames/s, %s left", terminal ? "\r" : "", done_,
                 plan_.FrameCount(), rate, left);
    std::fputs(terminal && !last ? "" : "\n", stderr);
}

int CaptureSession::Finish()
{
    const std::size_t reported = std::strlen(Error::Text());
    const bool musicWritten = wav_.Close();
    const bool framesWritten = !plan_.Raw() || std::fflush(stdout) == 0;
    ShowProgress(true);
    std::fputs(Error::Text() + reported, stderr);
    if (!failed_ && musicWritten && framesWritten && done_ == plan_.FrameCount()) {
        std::fprintf(stderr, "capture: %u frames at %u frames/s (%.3f s of music from %d ms) in %.1f s\n", done_,
                     plan_.framesPerSecond, static_cast<double>(wav_.Frames()) / PCM_RATE, plan_.range.startTime,
                     SecondsSince(started_));
        return 0;
    }
    std::fprintf(stderr, "capture: stopped after %u of %u frames\n", done_, plan_.FrameCount());
    return 1;
}

}  // namespace aqtool
