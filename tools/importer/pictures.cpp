// Finding, decoding, scaling and encoding a model's pictures.
#include "tools/importer/pictures.h"

#include <assimp/scene.h>
#include <stb_image.h>
#include <stb_image_resize.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "tools/writers/tgawriter.h"

namespace importer {

namespace {

constexpr int RGB = 3;

struct StbFree {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

// The file's stem, for the picture's name: after the last folder, before
// the last dot.
std::string StemOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

// A URI's %XX escapes decoded, as glTF's picture URIs write a blank as %20.
std::string Unescaped(const std::string& uri)
{
    std::string plain;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            plain += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            plain += uri[i];
        }
    }
    return plain;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// A texture the model holds as raw texels (blue, green, red, alpha), as PNG
// bytes for the decoder would be wasteful: its texels go straight to RGB.
bool RawTexels(const aiTexture& texture, std::vector<unsigned char>& rgb)
{
    const std::size_t count = std::size_t{texture.mWidth} * texture.mHeight;
    rgb.resize(count * RGB);
    for (std::size_t i = 0; i < count; ++i) {
        rgb[RGB * i] = texture.pcData[i].r;
        rgb[RGB * i + 1] = texture.pcData[i].g;
        rgb[RGB * i + 2] = texture.pcData[i].b;
    }
    return true;
}

// rgb of width x height scaled to the sides the demo takes, then as a TGA
// file of blue, green, red rows, top first.
void Encode(const std::vector<unsigned char>& rgb, int width, int height, ImportedPicture& picture)
{
    picture.width = PowerOfTwoSide(width);
    picture.height = PowerOfTwoSide(height);
    std::vector<unsigned char> scaled(std::size_t(picture.width) * picture.height * RGB);
    if (picture.width == width && picture.height == height)
        scaled = rgb;
    else
        stbir_resize_uint8(rgb.data(), width, height, 0, scaled.data(), picture.width, picture.height, 0, RGB);
    TgaPicture tga;
    tga.imageType = TGA_TYPE_RUN_LENGTH;
    tga.width = static_cast<std::uint16_t>(picture.width);
    tga.height = static_cast<std::uint16_t>(picture.height);
    tga.topFirst = true;
    tga.pixels.resize(scaled.size());
    for (std::size_t i = 0; i < scaled.size(); i += RGB) {
        tga.pixels[i] = scaled[i + 2];
        tga.pixels[i + 1] = scaled[i + 1];
        tga.pixels[i + 2] = scaled[i];
    }
    picture.file = TgaEncode(tga);
}

}  // namespace

int PowerOfTwoSide(const int side)
{
    int power = 1;
    while (power < MAX_SIDE && power * 2 <= side)
        power *= 2;
    // Up when side is nearer (by ratio) to the next power than to this one.
    if (power < MAX_SIDE && side > power && static_cast<double>(side) / power > std::sqrt(2.0))
        power *= 2;
    return power;
}

Pictures::Pictures(const aiScene& scene, std::string modelFolder, std::string folder, std::string prefix)
    : scene_(scene), modelFolder_(std::move(modelFolder)), folder_(std::move(folder)), prefix_(std::move(prefix))
{
}

// The picture's encoded bytes: embedded in the model, else the file the
// path names, from the model's folder unless it is absolute.
bool Pictures::Encoded(const std::string& path, std::vector<unsigned char>& bytes, std::string& why) const
{
    if (const aiTexture* const embedded = scene_.GetEmbeddedTexture(path.c_str())) {
        const auto* const data = reinterpret_cast<const unsigned char*>(embedded->pcData);
        bytes.assign(data, data + embedded->mWidth);
        return true;
    }
    std::string file = path;
    for (char& c : file)
        c = c == '\\' ? '/' : c;
    if (file.empty() || file[0] != '/')
        file = (modelFolder_.empty() ? "." : modelFolder_) + "/" + file;
    if (!ReadFile(file, bytes) && !ReadFile(Unescaped(file), bytes)) {
        why = "its file \"" + Printable(file) + "\" cannot be read";
        return false;
    }
    return true;
}

bool Pictures::Make(const std::string& path, ImportedPicture& picture, std::string& why) const
{
    const aiTexture* const embedded = scene_.GetEmbeddedTexture(path.c_str());
    std::vector<unsigned char> rgb;
    if (embedded != nullptr && embedded->mHeight != 0) {
        if (embedded->mWidth > MAX_DECODED || embedded->mHeight > MAX_DECODED) {
            why = "it is larger than " + std::to_string(MAX_DECODED) + " pixels a side";
            return false;
        }
        RawTexels(*embedded, rgb);
        Encode(rgb, static_cast<int>(embedded->mWidth), static_cast<int>(embedded->mHeight), picture);
        return true;
    }
    std::vector<unsigned char> bytes;
    if (!Encoded(path, bytes, why))
        return false;
    int width = 0, height = 0, channels = 0;
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX) ||
        !stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels)) {
        why = "it is no picture the decoder knows";
        return false;
    }
    if (width > MAX_DECODED || height > MAX_DECODED) {
        why = "it is larger than " + std::to_string(MAX_DECODED) + " pixels a side";
        return false;
    }
    const std::unique_ptr<unsigned char, StbFree> pixels(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, RGB));
    if (!pixels) {
        why = std::string("it cannot be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    rgb.assign(pixels.get(), pixels.get() + std::size_t(width) * height * RGB);
    Encode(rgb, width, height, picture);
    return true;
}

std::string Pictures::Use(const std::string& path, std::vector<std::string>& leftOut)
{
    const auto known = names_.find(path);
    if (known != names_.end())
        return known->second;
    ImportedPicture picture;
    std::string why;
    std::string& name = names_[path];
    if (!Make(path, picture, why)) {
        leftOut.push_back("picture \"" + Printable(path) + "\": " + why);
        return name;
    }
    const aiTexture* const embedded = scene_.GetEmbeddedTexture(path.c_str());
    const std::string own = embedded != nullptr ? embedded->mFilename.C_Str() : path;
    const std::string stem = prefix_ + "_" + SafeStem(own.empty() || own[0] == '*' ? "" : StemOf(own), "picture");
    name = folder_ + stems_.Take(stem.substr(0, MAX_STEM)) + ".tga";
    picture.archiveName = name;
    made_.push_back(std::move(picture));
    return name;
}

}  // namespace importer
