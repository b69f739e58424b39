// The picture loaders' shared bound and byte-order swap.
#include "image/pixels.h"

#include <cstdio>
#include <utility>

#include "host/error.h"

bool CheckPictureSides(std::int64_t width, std::int64_t height, const char* operation, const char* name)
{
    if (width <= PICTURE_MAX_SIDE && height <= PICTURE_MAX_SIDE)
        return true;
    char bound[32];
    std::snprintf(bound, sizeof bound, "%lld", static_cast<long long>(PICTURE_MAX_SIDE));
    Error::Report(6, operation, ": Picture larger than ", bound, " pixels a side. ( ", name, " )\n");
    return false;
}

void SwapRedBlue(std::uint8_t* pixels, std::size_t pixelCount, std::size_t pixelBytes)
{
    for (std::size_t i = 0; i < pixelCount; ++i)
        std::swap(pixels[i * pixelBytes], pixels[i * pixelBytes + 2]);
}
