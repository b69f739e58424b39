// The texture list, picture loading and conversion, upload and release, and
// the material map checks. Uploads need a current GL context.
#include "image/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/error.h"
#include "host/opengllib.h"
#include "image/jpg.h"
#include "image/tga.h"
#include "platform/uppercase.h"

namespace {

constexpr std::uint8_t OPAQUE_ALPHA = 255;
constexpr int EXTENSION_LENGTH = 4;

Texture* textureList = nullptr;  // head; records are appended at the tail

bool EndsWith(const char* text, const char* ending)
{
    const std::size_t length = std::strlen(text);
    return length >= EXTENSION_LENGTH && std::strcmp(text + length - EXTENSION_LENGTH, ending) == 0;
}

Texture* FindShared(const char* upperName, std::int32_t use)
{
    for (Texture* record = textureList; record != nullptr; record = record->next) {
        if (!record->retired && std::strcmp(record->name, upperName) == 0 && record->use == use)
            return record;
    }
    return nullptr;
}

void Append(Texture* record)
{
    Texture** link = &textureList;
    while (*link != nullptr)
        link = &(*link)->next;
    *link = record;
}

void Convert15(const std::uint8_t* source, std::uint8_t* target)
{
    const unsigned word = source[0] | (source[1] << 8);
    target[0] = static_cast<std::uint8_t>((word & 0x1F) << 3);
    target[1] = static_cast<std::uint8_t>((word & 0x3E0) >> 2);
    target[2] = static_cast<std::uint8_t>((word & 0x7C00) >> 7);
    target[3] = 0;
}

void Convert16(const std::uint8_t* source, std::uint8_t* target)
{
    const unsigned word = source[0] | (source[1] << 8);
    target[0] = static_cast<std::uint8_t>((word & 0x1F) << 3);
    target[1] = static_cast<std::uint8_t>((word & 0x7E0) >> 3);
    target[2] = static_cast<std::uint8_t>((word & 0xF800) >> 8);
    target[3] = 0;
}

void Convert24(const std::uint8_t* source, std::uint8_t* target)
{
    target[0] = source[0];
    target[1] = source[1];
    target[2] = source[2];
    target[3] = 0;
}

// The smallest texture name from 1 up that OpenGL does not use yet.
GLuint FreeTextureName()
{
    GLuint name = 1;
    while (OpenGLLib::glIsTexture(name))
        ++name;
    return name;
}

// The number of trailing zero bits of side, or -1 when side is not a power of two.
int PowerOfTwo(std::int32_t side)
{
    if (side <= 0)
        return -1;
    int shift = 0;
    while (((side >> shift) & 1) == 0)
        ++shift;
    return (1 << shift) == side ? shift : -1;
}

}  // namespace

Texture* Texture::First() { return textureList; }

void Texture::Retire(const char* name)
{
    char upperName[NAME_SIZE] = {};
    if (!platform::CopyUpperCase(name, upperName, NAME_SIZE))
        return;
    Texture** link = &textureList;
    while (Texture* const record = *link) {
        if (std::strcmp(record->name, upperName) != 0) {
            link = &record->next;
        } else if (record->references == 0) {
            // A picture that failed to load: nobody holds it, nothing was uploaded.
            *link = record->next;
            delete record;
        } else {
            record->retired = 1;
            link = &record->next;
        }
    }
}

Texture::~Texture()
{
    if (!uploaded)
        std::free(pixels);
}

std::uintptr_t Texture::FirstField() const
{
    return uploaded ? glName : reinterpret_cast<std::uintptr_t>(pixels);
}

Texture* Texture::Load(const char* name, std::int32_t use)
{
    char upperName[NAME_SIZE] = {};
    // A cut name could share another picture's record: refuse it whole.
    if (!platform::CopyUpperCase(name, upperName, NAME_SIZE)) {
        Error::Report(3, "Texture::Load: Filename too long. ( ", name, " )\n");
        return nullptr;
    }
    Texture* record = FindShared(upperName, use);
    if (record != nullptr) {
        // A record whose picture failed to load is loaded again rather than
        // handed out without pixels.
        if (!record->uploaded && record->pixels == nullptr && !record->LoadPicture(name))
            return nullptr;
        ++record->references;
        return record;
    }
    record = new (std::nothrow) Texture;
    if (record == nullptr) {
        Error::Report(3,
                      textureList == nullptr ? "Texture::Load: Not enough memory for texture-class. ( "
                                             : "TXT_LoadTexture: Not enough memory for texture-class. ( ",
                      name, ")\n");
        return nullptr;
    }
    Append(record);
    std::memcpy(record->name, upperName, sizeof upperName);
    record->use = use;
    if (!record->LoadPicture(name)) {
        // Nobody holds a record without a picture; a later request that
        // loads it becomes its first holder.
        record->references = 0;
        return nullptr;
    }
    return record;
}

// Loads and converts the picture of the record's name; on failure the record
// keeps no pixel block.
bool Texture::LoadPicture(const char* requestedName)
{
    if (EndsWith(name, ".TGA")) {
        pixels = TGA::Load(name, &width, &height, &bits);
    } else if (EndsWith(name, ".JPG")) {
        pixels = JPG::Load(name, &width, &height, &bits);
    } else {
        Error::Report(3, "Texture::Load: Picture type not supported ( ", requestedName, " )\n");
        return false;
    }
    if (pixels == nullptr) {
        Error::Report(3, "Texture::Load: Error loading picture. ( ", requestedName, ")\n");
        return false;
    }
    bool converted = true;
    if (bits == 15)
        converted = Convert15_32();
    else if (bits == 16)
        converted = Convert16_32();
    else if (bits == 24)
        converted = Convert24_32();
    if (!converted || bits != 32) {
        std::free(pixels);
        pixels = nullptr;
        return false;
    }
    SetOpaque();
    return true;
}

void Texture::SetOpaque()
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i)
        pixels[i * 4 + 3] = OPAQUE_ALPHA;
}

bool Texture::ConvertTo32(const char* operation,
                          void (*convertPixel)(const std::uint8_t*, std::uint8_t*), int sourceBytes)
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto* converted = static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(count * 4, 1)));
    if (converted == nullptr) {
        Error::Report(4, operation, ": Not enough memory. ( ", name, " )\n");
        return false;
    }
    for (std::size_t i = 0; i < count; ++i)
        convertPixel(pixels + i * sourceBytes, converted + i * 4);
    std::free(pixels);
    pixels = converted;
    bits = 32;
    return true;
}

bool Texture::Convert15_32() { return ConvertTo32("Texture::Convert15_32", Convert15, 2); }
bool Texture::Convert16_32() { return ConvertTo32("Texture::Convert16_32", Convert16, 2); }
bool Texture::Convert24_32() { return ConvertTo32("Texture::Convert24_32", Convert24, 3); }

bool Texture::Upload()
{
    if (uploaded)
        return true;
    if (pixels == nullptr || bits != 32) {
        Error::Report(3, "Texture::Upload: No picture to upload. ( ", name, " )\n");
        return false;
    }
    const GLuint textureName = FreeTextureName();
    OpenGLLib::glBindTexture(GL_TEXTURE_2D, textureName);
    OpenGLLib::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    OpenGLLib::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    OpenGLLib::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    OpenGLLib::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    OpenGLLib::glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    OpenGLLib::gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, width, height, GL_BGRA_EXT,
                                 GL_UNSIGNED_BYTE, pixels);
    std::free(pixels);
    glName = textureName;
    uploaded = 1;
    return true;
}

void Texture::Release(std::uintptr_t handle)
{
    Texture** link = &textureList;
    while (*link != nullptr && (*link)->FirstField() != handle)
        link = &(*link)->next;
    Texture* record = *link;
    if (record == nullptr)
        return;
    if (record->references > 1) {
        --record->references;
        return;
    }
    *link = record->next;
    if (record->uploaded) {
        const GLuint textureName = record->glName;
        OpenGLLib::glDeleteTextures(1, &textureName);
    }
    delete record;
}

Material::~Material()
{
    if (colourMap != nullptr)
        Texture::Release(colourMap->FirstField());
    if (secondMap != nullptr)
        Texture::Release(secondMap->FirstField());
}

bool Material::SetupMap()
{
    const int widthBits = PowerOfTwo(mapWidth);
    if (widthBits < 0) {
        Error::Report(1, "Material::SetupMap: Map doesn't have 2^n width.\n");
        return false;
    }
    const int heightBits = PowerOfTwo(mapHeight);
    if (heightBits < 0) {
        Error::Report(1, "Material::SetupMap: Map doesn't have 2^n heigth.\n");
        return false;
    }
    widthShift = static_cast<std::uint32_t>(widthBits);
    uMask = ((1u << widthBits) - 1u) << 8;
    vMask = ((1u << heightBits) - 1u) << 8;
    return true;
}
