// Textures: pictures loaded once per (upper-cased name, use), converted to 32
// bits (blue, green, red, alpha 255; rows top first) and shared by reference
// count until their upload to OpenGL; and the Material that names them.
#pragma once

#include <cstdint>

class Texture {
public:
    static constexpr std::int32_t USE_COLOUR_MAP = 0;
    // The mesh loader rewrites a bump picture in place, so it is never shared
    // with a colour-map use of the same file.
    static constexpr std::int32_t USE_BUMP_SOURCE = 1;
    static constexpr int NAME_SIZE = 1024;

    // The shared record of the picture name (".TGA" or ".JPG", any case) for
    // use, loading it when no record holds it yet; null on failure (reported).
    static Texture* Load(const char* name, std::int32_t use);
    // Drops one reference of the first record whose first field equals handle;
    // the last reference destroys it (and its OpenGL texture once uploaded).
    static void Release(std::uintptr_t handle);
    // The first record of the texture list, null when empty.
    static Texture* First();
    // The records of the picture name (any case, any use) are handed out no
    // more: a later Load reads the picture afresh, while their holders keep
    // them until they release them. A record that nobody holds goes at once.
    static void Retire(const char* name);

    // Each replaces the pixel block by a 32-bit one; false when memory runs out.
    bool Convert15_32();
    bool Convert16_32();
    bool Convert24_32();
    // Makes the OpenGL texture once (a GL context is current); later calls do
    // nothing. False, reported, when the record has no picture to upload.
    bool Upload();
    // The pixel block before the upload, the OpenGL texture name after it.
    std::uintptr_t FirstField() const;

    union {
        std::uint8_t* pixels;  // owned until the upload
        std::uint32_t glName;  // valid once uploaded
    };
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;            // 15, 16 or 24 as loaded, 32 after conversion
    std::uint32_t references = 1;     // holders of this record
    std::int32_t use = USE_COLOUR_MAP;
    std::uint8_t uploaded = 0;
    std::uint8_t retired = 0;         // 1: kept for its holders, never handed out again
    char name[NAME_SIZE] = {};        // upper-cased path
    Texture* next = nullptr;          // next record of the texture list

private:
    Texture() : pixels(nullptr) {}
    ~Texture();
    bool LoadPicture(const char* requestedName);
    bool ConvertTo32(const char* operation, void (*convertPixel)(const std::uint8_t*, std::uint8_t*),
                     int sourceBytes);
    void SetOpaque();
};

class Material {
public:
    static constexpr std::uint32_t TRANSPARENT = 0x01;  // blended drawing
    static constexpr std::uint32_t SMOOTH = 0x02;       // corners lit with atom normals
    static constexpr std::uint32_t ADDITIVE = 0x04;
    static constexpr std::uint32_t ENVIRONMENT = 0x08;  // map coordinates from normals
    static constexpr std::uint32_t COLOUR_MAP = 0x10;
    static constexpr std::uint32_t BUMP_PICTURE = 0x20;

    Material() = default;
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;
    // Releases the colour map and the second map; the bump map is not released.
    ~Material();

    // Derives the fixed-point masks of the map; false (reported) when a side
    // is not a power of two. Needs map width and height set first.
    bool SetupMap();

    // The corner colour of light sums red, green, blue on material: scaled
    // and offset, clamped at 1.0 from above only, and tinted by the colour
    // unless a map gives the colour.
    static void Shade(const Material& material, float red, float green, float blue, float* colour);

    std::uint32_t flags = 0;
    float colour[3] = {1.0f, 1.0f, 1.0f};  // red, green, blue
    float fourth = 1.0f;                   // multiplies the light sum
    float further[2] = {0.0f, 0.0f};       // added to the light sum; transparency
    Texture* colourMap = nullptr;          // one reference held
    Texture* secondMap = nullptr;          // one reference held
    Texture* bumpMap = nullptr;
    std::int32_t mapWidth = 0;
    std::int32_t mapHeight = 0;
    std::uint32_t uMask = 0;       // (map width - 1) << 8
    std::uint32_t vMask = 0;       // (map height - 1) << 8
    std::uint32_t widthShift = 0;  // log2 of the map width
};

// Defined with the other globals made before the entry point (host/globals.cpp).
extern Material gDefaultMaterial;
