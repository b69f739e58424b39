// The demo's F10 shots as a test finds them: a shot is complete once the file
// has its full size (a 640 x 480 frame, or the size chosen, as 24-bit TGA),
// and the small show's shot is the red wall.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <string>

#include "tests/support/child_processes.h"

namespace test_support {

constexpr long ShotBytes(int width, int height) { return 18 + 3L * width * height; }  // TGA header, 24-bit pixels

constexpr long SHOT_BYTES = ShotBytes(640, 480);
constexpr int SHOT_PATIENCE = 3000;  // polls of 10 ms before giving up

inline bool ShotWritten(const std::string& path, int width = 640, int height = 480)
{
    struct stat info;
    for (int poll = 0; poll < SHOT_PATIENCE; ++poll, usleep(10000)) {
        if (stat(path.c_str(), &info) == 0 && info.st_size == ShotBytes(width, height))
            return true;
    }
    return false;
}

// The shot holds the small show's frame: its middle pixel is the wall's red
// (blue, green, red bytes).
inline bool ShotIsRed(const std::string& path, int width = 640, int height = 480)
{
    const std::string bytes = FileText(path);
    const std::size_t middle = 18 + (std::size_t(height / 2) * width + width / 2) * 3;
    return bytes.size() == static_cast<std::size_t>(ShotBytes(width, height)) && bytes[middle] == 0 &&
           bytes[middle + 1] == 0 && static_cast<unsigned char>(bytes[middle + 2]) == 0xFF;
}

}  // namespace test_support
