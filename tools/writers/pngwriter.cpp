// The PNG writer. libpng reports errors by jumping out of its calls; the jump
// lands in PngWrite, which then reports and cleans up.
#include "tools/writers/pngwriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "host/error.h"

namespace {

void OnError(png_structp png, png_const_charp message)
{
    Error::Report(3, "PngWrite: ", message, "\n");
    std::longjmp(png_jmpbuf(png), 1);
}

void OnWarning(png_structp, png_const_charp) {}

struct PixelLayout {
    int colourType;     // libpng's PNG_COLOR_TYPE_*
    std::size_t bytes;  // a pixel's
};

constexpr PixelLayout RGB{PNG_COLOR_TYPE_RGB, 3};
constexpr PixelLayout RGBA{PNG_COLOR_TYPE_RGB_ALPHA, 4};

// Runs libpng over an open file; false when it jumped out with an error.
bool WriteRows(std::FILE* file, const std::uint8_t* pixels, int width, int height, PixelLayout layout)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, layout.colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * layout.bytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteFile(const std::string& path, const std::uint8_t* pixels, int width, int height, PixelLayout layout)
{
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Error::Report(3, "PngWrite: Couldn't open the file (", path.c_str(), ")\n");
        return false;
    }
    const bool written = WriteRows(file, pixels, width, height, layout);
    const bool closed = std::fclose(file) == 0;
    if (written && !closed)
        Error::Report(3, "PngWrite: Couldn't finish the file (", path.c_str(), ")\n");
    return written && closed;
}

}  // namespace

bool PngWrite(const std::string& path, const std::uint8_t* pixels, int width, int height)
{
    return WriteFile(path, pixels, width, height, RGB);
}

bool PngWriteWithAlpha(const std::string& path, const std::uint8_t* pixels, int width, int height)
{
    return WriteFile(path, pixels, width, height, RGBA);
}
