// Shared pieces of the mesh tests: record makers, exact-length heap copies of
// encoded files (a memory checker then sees any read past the end), and a
// fixture giving each test an empty directory, error text and texture list.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/error.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "scene/vector.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/tgawriter.h"

namespace mesh_test {

using Bytes = std::vector<std::uint8_t>;

inline VECTOR_FILE_Vertex Vertex(float x, float y, float z)
{
    VECTOR_FILE_Vertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    return vertex;
}

inline VECTOR_FILE_Face Face(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t material = 0)
{
    VECTOR_FILE_Face face;
    face.corners[0] = a;
    face.corners[1] = b;
    face.corners[2] = c;
    face.material = material;
    return face;
}

inline VECTOR_FILE_Material MaterialRecord(std::uint32_t flags)
{
    VECTOR_FILE_Material material;
    material.flags = flags;
    return material;
}

// One triangle in the z = 0 plane, wound so that its normal is +z.
inline MeshContent Triangle()
{
    MeshContent content;
    content.vertices = {Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0)};
    content.faces = {Face(0, 1, 2)};
    content.materials = {MaterialRecord(0)};
    return content;
}

// Build on a heap copy of exactly bytes.size() bytes.
inline std::unique_ptr<Vector> BuildExact(const Bytes& bytes)
{
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    if (!bytes.empty())
        std::memcpy(copy.get(), bytes.data(), bytes.size());
    return std::unique_ptr<Vector>(Vector::Build(copy.get(), bytes.size()));
}

// A top-first 24-bit picture from blue, green, red bytes.
inline void PutPicture(const std::string& path, std::uint16_t width, std::uint16_t height, const Bytes& pixels)
{
    TgaPicture picture;
    picture.width = width;
    picture.height = height;
    picture.topFirst = true;
    picture.pixels = pixels;
    ASSERT_TRUE(WriteBytesFile(path, TgaEncode(picture))) << Error::Text();
}

inline std::vector<std::uint16_t> WordsOf(const Texture& texture)
{
    std::vector<std::uint16_t> words(static_cast<std::size_t>(texture.width) * texture.height);
    std::memcpy(words.data(), texture.pixels, words.size() * sizeof(std::uint16_t));
    return words;
}

class MeshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        PAK::CloseAll();
    }

    // Bump maps are never given back by their materials: the list is emptied here.
    void TearDown() override
    {
        while (Texture::First() != nullptr)
            Texture::Release(Texture::First()->FirstField());
        PAK::CloseAll();
    }

    // Writes content as name and loads it as the demo would.
    static std::unique_ptr<Vector> LoadFile(const std::string& name, const Bytes& bytes)
    {
        EXPECT_TRUE(WriteBytesFile(name, bytes)) << Error::Text();
        return std::unique_ptr<Vector>(Vector::Load(name.c_str()));
    }

    test_support::ScratchDirectory scratch_;
};

}  // namespace mesh_test
