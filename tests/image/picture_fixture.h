// What the picture tests share: an empty error text, no open archive and a
// scratch directory of their own for the files they write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/bytesfile.h"

namespace test_support {

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
