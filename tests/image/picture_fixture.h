// What the picture tests share: an empty error text, no open archive and a
// scratch directory of their own for the files they write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/bytesfile.h"

namespace test_support {

struct FreeBlock {
    void operator()(std::uint8_t* block) const { std::free(block); }
};

// What a picture loader or decoder handed back.
struct Loaded {
    std::unique_ptr<std::uint8_t, FreeBlock> pixels;
    std::int32_t width = -1;
    std::int32_t height = -1;
    std::int32_t bits = -1;

    std::vector<std::uint8_t> Block(std::size_t size) const
    {
        return std::vector<std::uint8_t>(pixels.get(), pixels.get() + size);
    }
    // The block of a picture with three bytes a pixel.
    std::vector<std::uint8_t> Block24() const
    {
        return Block(std::size_t(width) * std::size_t(height) * 3);
    }
};

using PictureDecoder = std::uint8_t* (*)(const std::uint8_t* file, std::size_t size,
                                         const char* name, std::int32_t* width,
                                         std::int32_t* height, std::int32_t* bits);

using PictureLoader = std::uint8_t* (*)(const char* name, std::int32_t* width,
                                        std::int32_t* height, std::int32_t* bits);

// Loads name through the loader as the texture code does.
inline Loaded LoadWith(PictureLoader load, const std::string& name)
{
    Loaded loaded;
    loaded.pixels.reset(load(name.c_str(), &loaded.width, &loaded.height, &loaded.bits));
    return loaded;
}

// Decodes from a heap block of exactly the file's length, so that a read past
// its end is caught by the memory checkers.
inline Loaded DecodeExactly(PictureDecoder decode, const std::vector<std::uint8_t>& file,
                            const char* name)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[file.size()]);
    if (!file.empty())
        std::memcpy(copy.get(), file.data(), file.size());
    Loaded loaded;
    loaded.pixels.reset(
        decode(copy.get(), file.size(), name, &loaded.width, &loaded.height, &loaded.bits));
    return loaded;
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        PAK::CloseAll();
    }

    void TearDown() override { PAK::CloseAll(); }

    // The path of name in the test's directory, which is removed at the end.
    std::string PathOf(const std::string& name) const { return scratch_.Path() + "/" + name; }

    std::string Put(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = PathOf(name);
        EXPECT_TRUE(WriteBytesFile(path, bytes));
        return path;
    }

    ScratchDirectory scratch_;
};

}  // namespace test_support
