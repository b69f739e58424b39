// aqtool picture: shows a data maker what the demo makes of a picture, by
// loading it as a texture would and writing the 32-bit result as a TGA file.
#include <cstdint>
#include <string>
#include <vector>

#include "host/error.h"
#include "image/texture.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/writers/tgawriter.h"

namespace aqtool {

namespace {
constexpr std::uint8_t ALPHA_ATTRIBUTE_BITS = 8;

TgaPicture PictureOf(const Texture& texture)
{
    TgaPicture picture;
    picture.bits = 32;
    picture.width = static_cast<std::uint16_t>(texture.width);
    picture.height = static_cast<std::uint16_t>(texture.height);
    picture.topFirst = true;
    picture.attributeBits = ALPHA_ATTRIBUTE_BITS;
    const std::size_t size = static_cast<std::size_t>(texture.width) * texture.height * 4;
    picture.pixels.assign(texture.pixels, texture.pixels + size);
    return picture;
}
}  // namespace

int Picture(char* const* arguments)
{
    const std::string name = DemoName(arguments[0]);
    const char* const outPath = arguments[1];
    if (!OpenDemoArchive())
        return Fail();
    Texture* const texture = Texture::Load(name.c_str(), Texture::USE_COLOUR_MAP);
    if (texture == nullptr)
        return Fail();
    const bool written = WriteBytesFile(outPath, TgaEncode(PictureOf(*texture)));
    Texture::Release(texture->FirstField());
    return written ? EXIT_OK : Fail();
}

}  // namespace aqtool
