// libFuzzer target: any bytes through the TGA decoder, which must decode or
// refuse them without reading past the input or writing past the picture.
// A refused input leaves a message in the error text, which is emptied again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/error.h"
#include "image/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;
    std::free(TGA::Decode(data, size, "fuzz.tga", &width, &height, &bits));
    Error::Reset();
    return 0;
}
