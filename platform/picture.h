// The picture the demo fills and shows: by default the design's 640 x 480
// without multisampling, scaled to fill the display. A user may choose
// another 4:3 size (AQUARIUM_RESOLUTION=WxH, or native: the largest 4:3
// area of the desktop as it is, with no mode switch) and multisampling
// (AQUARIUM_SAMPLES=N); a tool may choose them too, and keep the desktop as
// it is. A chosen size is shown 1:1 where it fits. The choice is made before
// the Aquarium is filled and holds for the process.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct PictureSize {
    std::int32_t width;   // pixels, 4:3 with the height
    std::int32_t height;
};

constexpr PictureSize DEFAULT_PICTURE{640, 480};
constexpr PictureSize SMALLEST_PICTURE{320, 240};
constexpr PictureSize LARGEST_PICTURE{8192, 6144};
constexpr int MOST_SAMPLES = 32;

struct PictureChoice {
    PictureSize size = DEFAULT_PICTURE;
    bool sizeChosen = false;  // shown 1:1 where the drawable holds it
    bool native = false;      // the size is the desktop's largest 4:3 area
    bool desktopKept = false; // no display mode is asked for or restored: native,
                              // or a tool whose frames nobody watches
    int samples = 0;          // multisampling asked for; 0 or 1: none
};

// "WxH" in decimal, 4:3 and within SMALLEST_PICTURE to LARGEST_PICTURE.
bool ParsePictureSize(const std::string& text, PictureSize& size);
// A number of samples from 1 to MOST_SAMPLES.
bool ParseSamples(const std::string& text, int& samples);
// Why text is refused as a size or as samples, naming it as it was given.
std::string SizeRefusal(const std::string& text);
std::string SamplesRefusal(const std::string& text);

// The largest 4:3 picture within width x height, kept within the bounds.
PictureSize LargestPictureIn(std::int32_t width, std::int32_t height);

// Reads AQUARIUM_RESOLUTION and AQUARIUM_SAMPLES into choice; false, with
// refusal holding the message, when one of them is set but unusable.
bool ReadPictureChoice(PictureChoice& choice, std::string& refusal);

void SetPictureChoice(const PictureChoice& choice);
const PictureChoice& ChosenPicture();
// The size to fill: the chosen one, with native asked of the backend's desktop.
PictureSize PictureSizeToFill();

}  // namespace platform
