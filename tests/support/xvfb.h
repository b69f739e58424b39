// An X server of a test's own: Xvfb with the screen size the test needs and a
// white background (so black shows a window), on a display number Xvfb picks
// itself and reports once it accepts clients; ended when the object goes.
// Captures of its screen, or of one window, are taken with xwd and decoded.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/child_processes.h"

namespace test_support {

class Xvfb {
public:
    Xvfb(int width, int height)
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        pid_ = StartChild([&] {
            close(ready[0]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(ready[1]).c_str(), "-screen", "0",
                   screen.c_str(), "-wr", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        });
        close(ready[1]);
        // The number and a line feed once it is ready; end of file first means it ended.
        std::string number;
        char c = 0;
        while (read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(ready[0]);
        if (!number.empty() && c == '\n')
            display_ = ":" + number;
    }

    ~Xvfb()
    {
        if (pid_ > 0)
            EndChild(pid_);
    }

    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // Empty when the server did not start (Xvfb missing or refusing).
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// A captured picture, 0xRRGGBB per pixel, rows top first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Captures display's root window, or the window titled windowName, into path.
inline bool CaptureWithXwd(const std::string& display, const std::string& path,
                           const char* windowName = nullptr)
{
    const std::string target = windowName ? std::string("-name '") + windowName + "'" : "-root";
    return std::system(("xwd -silent -display " + display + " " + target + " -out '" + path + "'")
                           .c_str()) == 0;
}

// The bits of pixel under mask, shifted down to a byte.
inline std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
    for (; mask != 0 && (mask & 1u) == 0; mask >>= 1)
        pixel >>= 1;
    return pixel & mask & 0xFFu;
}

// Decodes an xwd file of a TrueColor screen at 24 or 32 bits a pixel; false
// for anything else.
inline bool ReadXwd(const std::string& path, Capture& capture)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto byte = [&bytes](std::size_t at) -> std::uint32_t {
        return static_cast<unsigned char>(bytes[at]);
    };
    const auto field = [&](int index) {  // the header's big-endian 32-bit fields
        const std::size_t at = 4 * std::size_t(index);
        return byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    };
    if (bytes.size() < 100)
        return false;
    const std::uint32_t width = field(4), height = field(5), bytesPerPixel = field(11) / 8;
    const bool leastSignificantFirst = field(7) == 0;
    const std::uint32_t bytesPerLine = field(12), masks[3] = {field(14), field(15), field(16)};
    const std::size_t start = field(0) + 12 * std::size_t(field(19));  // header, colour map
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || bytesPerLine < bytesPerPixel * width ||
        bytes.size() < start + std::size_t(bytesPerLine) * height)
        return false;
    capture.width = int(width);
    capture.height = int(height);
    capture.pixels.clear();
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = start + std::size_t(y) * bytesPerLine + bytesPerPixel * x;
            std::uint32_t pixel = 0;
            for (std::uint32_t i = 0; i < bytesPerPixel; ++i)
                pixel = leastSignificantFirst ? pixel | byte(at + i) << (8 * i)
                                              : pixel << 8 | byte(at + i);
            capture.pixels.push_back(Channel(pixel, masks[0]) << 16 |
                                     Channel(pixel, masks[1]) << 8 | Channel(pixel, masks[2]));
        }
    }
    return true;
}

}  // namespace test_support
