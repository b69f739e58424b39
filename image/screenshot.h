// The screenshot object: on a press of F10 it reads the frame back from
// OpenGL and writes it as the next numbered TGA file in the working directory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/fish.h"

class Screenshot : public Fish {
public:
    static constexpr std::int32_t TYPE = 19;
    static constexpr int PREFIX_SIZE = 500;

    explicit Screenshot(const char* prefix);

    // The operation of type 19, on the current object (a Screenshot). A
    // failure is reported and sets the quit flag.
    static void Swim();

    // Bytes that ReadFrame needs for the Aquarium's window size: four a pixel,
    // room for OpenGL's row alignment of the three it reads.
    static std::size_t FrameBlockSize();
    // Reads the frame drawn so far (before its swap) into block: red, green,
    // blue, rows bottom first, as TGA::Save takes them.
    static void ReadFrame(std::uint8_t* block);

    char prefix[PREFIX_SIZE] = {};  // file names are prefix, counter, ".tga"
    std::int32_t counter = 0;       // number of the next file
};

// Defined with the other globals made before the entry point (host/globals.cpp).
extern Screenshot gScreenshot;
