// The one upper-casing copy behind every name lookup: a to z only, and a name
// that does not fit its buffer with its NUL is refused whole, never cut.
#include "platform/uppercase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(UpperCase, OnlyAToZChange)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    std::vector<char> copy(all.size() + 1, 'x');
    ASSERT_TRUE(platform::CopyUpperCase(all.c_str(), copy.data(), copy.size()));
    for (std::size_t i = 0; i < all.size(); ++i) {
        const char c = all[i];
        const char expected = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        EXPECT_EQ(copy[i], expected) << "byte " << i + 1;
    }
    EXPECT_EQ(copy.back(), '\0');
}

TEST(UpperCase, ANameMustFitWithItsNul)
{
    const struct {
        std::size_t length;
        bool fits;
    } cases[] = {{0, true}, {1023, true}, {1024, false}, {5000, false}};
    for (const auto& c : cases) {
        const std::string name(c.length, 'n');
        char target[1024];
        target[0] = 'x';
        EXPECT_EQ(platform::CopyUpperCase(name.c_str(), target, sizeof target), c.fits) << c.length;
        EXPECT_EQ(std::string(target), c.fits ? std::string(c.length, 'N') : std::string()) << c.length;
    }
}

}  // namespace
