// Frames of the demo for the tools that show them: a 640 x 480 Aquarium filled
// as the demo's start-up fills it (headless on SDL's offscreen driver), one
// scene loaded into its two lists by the demo's own loader, and single passes
// of the main loop whose frame is read back just before its buffer swap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/fish.h"
#include "scene/scenerecords.h"

namespace aqtool {

// What a fill asks of the display: nothing for the commands whose frames are
// read back and never watched; the demo's mode switch for a measure of speed.
enum class ModeSwitch { NONE, AS_THE_DEMO };

// Fills the global Aquarium as the demo's start-up does: 640 x 480 x 32 (or
// the chosen picture), full screen. Without a mode switch, or on a display
// without that mode, the frame is drawn offscreen; the refused switch leaves
// its message in the error text, which is no failure. False (reported) when
// the Aquarium cannot be filled.
bool FillDemoAquarium(ModeSwitch modeSwitch);

// Gives back the GL context and the display mode. Every SceneFrames is gone
// by then: their maps are released through the context.
void EmptyDemoAquarium();

// Bytes of a frame as SceneFrames::Render writes it (with the read-back's row
// alignment room); the first width x height x 3 hold the picture.
std::size_t FrameBufferSize();

// One scene of the demo, ready to draw frame after frame. Needs a filled
// Aquarium for its whole life.
class SceneFrames {
public:
    SceneFrames() = default;
    SceneFrames(const SceneFrames&) = delete;
    SceneFrames& operator=(const SceneFrames&) = delete;
    // The Aquarium forgets the lists if they are still current.
    ~SceneFrames();

    // Loads the scene file name as the start-up loads scene i: opened by the
    // fading trails when name is the scene table's first row, by a clear
    // otherwise. False (reported) when a step fails.
    bool Load(const char* name);

    // Sets the clock so that the scene has played time milliseconds, runs one
    // pass of the main loop, and writes the frame into pixels (FrameBufferSize
    // bytes): red, green, blue, rows bottom first. Passes build on each other
    // as the demo's do, so the first scene's trails grow over several calls.
    // With pixels null the pass only waits until GL has drawn the frame, as
    // a measure of speed wants. False (reported) when the pass ended before
    // its swap.
    bool Render(std::uint32_t time, std::uint8_t* pixels);

private:
    Scene scene_;
    Fishes objects_;  // the frame's objects in their order
    Fishes lights_;
};

}  // namespace aqtool
