// The archive tests' common ground: each test runs in a fresh temporary
// directory (its working directory for the test's length) with no archive
// open and an empty error text; helpers write files and patch archives.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"
#include "tests/support/scratch_directory.h"
#include "tools/writers/pakwriter.h"

namespace pak_test {

using Bytes = std::vector<std::uint8_t>;

// Where the header keeps its fields.
constexpr std::size_t MAGIC_AT = 256;
constexpr std::size_t MAP_END_AT = 260;
constexpr std::size_t COUNT_AT = 264;
constexpr std::size_t MAP_OFFSET_AT = 272;

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void PutU32(Bytes& bytes, const std::size_t at, const std::uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) { WriteBytes(path, ToBytes(text)); }

inline Bytes ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An archive of name/content pairs, stored in the order given, names as given.
inline Bytes ArchiveOf(const std::vector<std::pair<std::string, std::string>>& files)
{
    PakWriter writer;
    for (const auto& file : files)
        EXPECT_TRUE(writer.Add(file.first, ToBytes(file.second)));
    return writer.Bytes();
}

// A relative path of exactly length characters whose components stay within
// the file system's limit on one name.
inline std::string LongDiskPath(const std::size_t length)
{
    constexpr std::size_t COMPONENT = 200;
    std::string path;
    while (length - path.size() > COMPONENT + 1)
        path += std::string(COMPONENT, 'd') + '/';
    return path + std::string(length - path.size(), 'f');
}

// What the system would hand a caller for name: ReadFile's buffer, FileSize
// bytes long, released here. Empty when ReadFile failed.
inline std::optional<std::string> ReadWhole(const char* name)
{
    std::uint8_t* const data = PAK::ReadFile(name);
    if (data == nullptr)
        return std::nullopt;
    const std::string content(reinterpret_cast<const char*>(data), PAK::FileSize(name));
    delete[] data;
    return content;
}

// Each test starts in an empty directory of its own with no archive open.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Error::Reset();
        PAK::CloseAll();
    }

    void TearDown() override
    {
        PAK::CloseAll();
        PAK::SetLooseFilesFirst(false);
    }

    static std::string ErrorText() { return Error::Text(); }

    const std::string& Directory() const { return scratch_.Path(); }

private:
    test_support::ScratchDirectory scratch_;
};

}  // namespace pak_test
