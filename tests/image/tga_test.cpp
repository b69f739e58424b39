// TGA pictures: rows come back top first whatever the file's order; run-length
// and literal packets; ID field and colour map skipped; other depths and types
// refused with their messages; broken files refused without reading or writing
// out of bounds; and the exact bytes of a saved screenshot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/error.h"
#include "image/tga.h"
#include "pak/pak.h"
#include "tests/image/picture_fixture.h"
#include "tools/writers/pakwriter.h"
#include "tools/writers/tgawriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::Loaded;
using ::testing::EndsWith;
using ::testing::StartsWith;

// Bytes 1, 2, 3, ...: every pixel of a picture made of them differs.
Bytes Numbered(std::size_t count)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    return bytes;
}

TgaPicture Picture(std::uint8_t type, std::uint8_t bits, std::uint16_t width, std::uint16_t height,
                   bool topFirst)
{
    TgaPicture picture;
    picture.imageType = type;
    picture.bits = bits;
    picture.width = width;
    picture.height = height;
    picture.topFirst = topFirst;
    picture.pixels = Numbered(width * height * TgaBytesPerPixel(bits));
    return picture;
}

Bytes ReadAll(const std::string& path)
{
    Bytes bytes;
    std::FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    return bytes;
}

Loaded DecodeExactly(const Bytes& file, const char* name)
{
    return test_support::DecodeExactly(TGA::Decode, file, name);
}

// Each test starts with an empty error text, no open archive and an empty
// directory of its own, which it leaves removed; Load reads as textures do.
class TgaFiles : public test_support::PictureFiles {
protected:
    static Loaded Load(const std::string& name) { return test_support::LoadWith(TGA::Load, name); }
};

TEST_F(TgaFiles, RowsComeBackTopFirstWhicheverOrderTheFileStores)
{
    for (const std::uint16_t height : {1, 2, 3, 4}) {
        for (const bool topFirst : {false, true}) {
            SCOPED_TRACE("height " + std::to_string(height) + (topFirst ? " top first" : " bottom first"));
            const TgaPicture picture = Picture(TGA_TYPE_RAW, 24, 2, height, topFirst);
            const Bytes file = TgaEncode(picture);
            const std::size_t lastRow = (height - 1) * 6u;
            const Bytes firstStored(file.begin() + 18, file.begin() + 24);
            const Bytes expectedFirst(picture.pixels.begin() + (topFirst ? 0 : lastRow),
                                      picture.pixels.begin() + (topFirst ? 0 : lastRow) + 6);
            ASSERT_EQ(firstStored, expectedFirst) << "the file must store the rows in its own order";

            const Loaded loaded = Load(Put("rows.tga", file));
            ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
            EXPECT_EQ(loaded.width, 2);
            EXPECT_EQ(loaded.height, height);
            EXPECT_EQ(loaded.bits, 24);
            EXPECT_EQ(loaded.Block(picture.pixels.size()), picture.pixels);
        }
    }
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(TgaFiles, RunPacketRepeatsOnePixelAndLiteralPacketCopiesItsPixels)
{
    TgaPicture picture = Picture(TGA_TYPE_RUN_LENGTH, 24, 4, 2, true);
    Bytes file = TgaHeader(picture);
    const Bytes packets = {0x83, 1, 2, 3, 0x03, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
    file.insert(file.end(), packets.begin(), packets.end());
    const Loaded wide = DecodeExactly(file, "packets.tga");
    ASSERT_NE(wide.pixels, nullptr) << Error::Text();
    EXPECT_EQ(wide.Block(24), (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3,
                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));

    picture = Picture(TGA_TYPE_RUN_LENGTH, 16, 3, 1, true);
    file = TgaHeader(picture);
    const Bytes words = {0x81, 0x1F, 0x7C, 0x00, 0xE0, 0x03};
    file.insert(file.end(), words.begin(), words.end());
    const Loaded narrow = DecodeExactly(file, "words.tga");
    ASSERT_NE(narrow.pixels, nullptr) << Error::Text();
    EXPECT_EQ(narrow.bits, 16);
    EXPECT_EQ(narrow.Block(6), (Bytes{0x1F, 0x7C, 0x1F, 0x7C, 0xE0, 0x03}));
}

TEST_F(TgaFiles, RunLengthAndRawFilesOfOnePictureLoadAlike)
{
    for (const std::uint8_t bits : {15, 16, 24}) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        // Rows of 150 pixels: runs longer than one packet, short runs, noise.
        TgaPicture raw = Picture(TGA_TYPE_RAW, bits, 150, 3, false);
        const std::size_t pixelBytes = TgaBytesPerPixel(bits);
        for (std::size_t i = 0; i < 140 * pixelBytes; ++i)
            raw.pixels[i] = 7;
        for (std::size_t i = 300 * pixelBytes; i < 310 * pixelBytes; ++i)
            raw.pixels[i] = 9;
        TgaPicture packed = raw;
        packed.imageType = TGA_TYPE_RUN_LENGTH;
        const Bytes packedFile = TgaEncode(packed);
        ASSERT_LT(packedFile.size(), TgaEncode(raw).size()) << "the runs must have become packets";

        const Loaded fromRaw = Load(Put("raw.tga", TgaEncode(raw)));
        const Loaded fromPacked = Load(Put("packed.tga", packedFile));
        ASSERT_NE(fromRaw.pixels, nullptr) << Error::Text();
        ASSERT_NE(fromPacked.pixels, nullptr) << Error::Text();
        EXPECT_EQ(fromRaw.Block(raw.pixels.size()), raw.pixels);
        EXPECT_EQ(fromPacked.Block(raw.pixels.size()), raw.pixels);
        EXPECT_EQ(fromPacked.bits, bits);
    }
}

TEST_F(TgaFiles, PixelsAreReadAfterTheIdFieldAndTheColourMap)
{
    TgaPicture picture = Picture(TGA_TYPE_RAW, 24, 2, 2, true);
    picture.id = "written by the tests";
    picture.colourMapType = 1;
    picture.colourMapLength = 3;
    picture.colourMapEntryBits = 24;
    picture.colourMap = Bytes(9, 0xEE);
    const Loaded loaded = Load(Put("mapped.tga", TgaEncode(picture)));
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.Block(12), picture.pixels);

    // Entries of 15 bits take two bytes each.
    picture = Picture(TGA_TYPE_RUN_LENGTH, 15, 3, 2, false);
    picture.id = "x";
    picture.colourMapType = 1;
    picture.colourMapLength = 2;
    picture.colourMapEntryBits = 15;
    picture.colourMap = Bytes(4, 0xEE);
    const Loaded packed = DecodeExactly(TgaEncode(picture), "mapped15.tga");
    ASSERT_NE(packed.pixels, nullptr) << Error::Text();
    EXPECT_EQ(packed.Block(12), picture.pixels);
}

TEST_F(TgaFiles, OtherDepthsAndTypesAreRefusedWithTheirMessages)
{
    for (const std::uint8_t bits : {32, 8}) {
        Error::Reset();
        const std::string path = Put("deep.tga", TgaEncode(Picture(TGA_TYPE_RAW, bits, 2, 3, true)));
        const Loaded loaded = Load(path);
        EXPECT_EQ(loaded.pixels, nullptr);
        EXPECT_EQ(Error::Text(), "TGA::Load: Picture type not supported. ( " + path + " )\n");
        EXPECT_EQ(loaded.width, 2) << "the header's fields are stored before any check";
        EXPECT_EQ(loaded.height, 3);
        EXPECT_EQ(loaded.bits, bits);
    }

    Error::Reset();
    TgaPicture mapped = Picture(1, 16, 2, 2, true);
    mapped.colourMapType = 1;
    mapped.colourMapLength = 2;
    mapped.colourMapEntryBits = 16;
    mapped.colourMap = Bytes(4, 0);
    const std::string path = Put("mapped.tga", TgaEncode(mapped));
    EXPECT_EQ(Load(path).pixels, nullptr);
    EXPECT_EQ(Error::Text(), "TGA::Load: TGA-type not supported.( " + path + " )\n");

    // Refused before the picture is allocated: no 12 GB for an 18-byte file.
    Error::Reset();
    TgaPicture empty;
    empty.imageType = 0;
    empty.width = 0xFFFF;
    empty.height = 0xFFFF;
    EXPECT_EQ(DecodeExactly(TgaHeader(empty), "empty.tga").pixels, nullptr);
    EXPECT_STREQ(Error::Text(), "TGA::Load: TGA-type not supported.( empty.tga )\n");
}

TEST_F(TgaFiles, MissingFileIsReportedAfterTheArchiveReader)
{
    const std::string path = PathOf("nowhere.tga");
    EXPECT_EQ(Load(path).pixels, nullptr);
    EXPECT_THAT(Error::Text(), StartsWith("PAK::ReadFile: File not found. (" + path + ")\n"));
    EXPECT_THAT(Error::Text(), EndsWith("TGA::Load: Error reading .tga-file. ( " + path + " )\n"));
}

TEST_F(TgaFiles, PictureIsReadFromAnOpenArchiveByItsRequestedName)
{
    const TgaPicture picture = Picture(TGA_TYPE_RUN_LENGTH, 24, 5, 3, false);
    PakWriter writer;
    ASSERT_TRUE(writer.Add("DATA\\PICTURES\\PACKED.TGA", TgaEncode(picture)));
    const std::string archive = PathOf("pictures.kzp");
    ASSERT_TRUE(writer.Write(archive));
    ASSERT_NE(PAK::Open(archive.c_str()), nullptr) << Error::Text();

    const Loaded loaded = Load("data\\pictures\\packed.tga");
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.Block(picture.pixels.size()), picture.pixels);
}

// Each broken file is decoded from a block of exactly its length; a decoder
// that read or wrote past an end would be caught by valgrind or ASan.
struct BrokenFile {
    const char* what;
    Bytes file;
    const char* message;  // between "TGA::Load: " and " ( name )\n"
};

Bytes RunLengthHeader(std::uint16_t width, std::uint16_t height, const Bytes& data)
{
    Bytes file = TgaHeader(Picture(TGA_TYPE_RUN_LENGTH, 24, 0, 0, true));
    file[12] = static_cast<std::uint8_t>(width);
    file[13] = static_cast<std::uint8_t>(width >> 8);
    file[14] = static_cast<std::uint8_t>(height);
    file[15] = static_cast<std::uint8_t>(height >> 8);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

TEST_F(TgaFiles, BrokenFilesAreRefusedWithAMessage)
{
    const char* const pastFile = "Picture data runs past the end of the file.";
    const char* const pastPicture = "Run-length packet runs past the end of the picture.";
    const char* const tooLarge = "Picture larger than 8192 pixels a side.";
    Bytes raw = TgaEncode(Picture(TGA_TYPE_RAW, 24, 2, 2, true));
    raw.pop_back();
    Bytes longId = TgaEncode(Picture(TGA_TYPE_RAW, 24, 1, 1, true));
    longId[0] = 200;
    const std::vector<BrokenFile> cases = {
        {"header cut short", Bytes(17, 0), "File too short for a .tga-header."},
        {"no pixel data", RunLengthHeader(2, 2, {}), pastFile},
        {"packets end before the picture", RunLengthHeader(2, 2, {0x81, 1, 2, 3}), pastFile},
        {"run value cut short", RunLengthHeader(2, 2, {0x81, 1, 2, 3, 0x81, 4, 5}), pastFile},
        {"literal cut short", RunLengthHeader(2, 2, {0x03, 1, 2, 3, 4, 5, 6, 7}), pastFile},
        {"run past the picture", RunLengthHeader(2, 2, {0x87, 1, 2, 3}), pastPicture},
        {"literal past the picture", RunLengthHeader(2, 2, {0x01, 1, 2, 3, 4, 5, 6, 0x02, 1, 2, 3, 4,
                                                            5, 6, 7, 8, 9}), pastPicture},
        {"huge picture in a small file", RunLengthHeader(8192, 8192, {0xFF, 1, 2, 3}), pastFile},
        {"too wide", RunLengthHeader(8193, 1, {0xFF, 1, 2, 3}), tooLarge},
        {"too tall", RunLengthHeader(1, 8193, {0xFF, 1, 2, 3}), tooLarge},
        {"both sides at the format's limit", RunLengthHeader(0xFFFF, 0xFFFF, {0xFF, 1, 2, 3}), tooLarge},
        {"raw data cut short", raw, pastFile},
        {"ID field past the end", longId, pastFile},
    };
    for (const BrokenFile& broken : cases) {
        SCOPED_TRACE(broken.what);
        Error::Reset();
        EXPECT_EQ(DecodeExactly(broken.file, "broken.tga").pixels, nullptr);
        EXPECT_EQ(Error::Text(), std::string("TGA::Load: ") + broken.message + " ( broken.tga )\n");
    }
}

TEST_F(TgaFiles, ASideOf8192PixelsLoads)
{
    const TgaPicture picture = Picture(TGA_TYPE_RAW, 24, 8192, 1, true);
    const Loaded loaded = DecodeExactly(TgaEncode(picture), "wide.tga");
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.width, 8192);
}

TEST_F(TgaFiles, EveryShortenedCopyOfAPictureIsRefused)
{
    const TgaPicture picture = Picture(TGA_TYPE_RUN_LENGTH, 24, 6, 4, false);
    const Bytes file = TgaEncode(picture);
    for (std::size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        Error::Reset();
        EXPECT_EQ(DecodeExactly(Bytes(file.begin(), file.begin() + length), "short.tga").pixels, nullptr);
        EXPECT_THAT(Error::Text(), StartsWith("TGA::Load: "));
    }
    const Loaded whole = DecodeExactly(file, "whole.tga");
    ASSERT_NE(whole.pixels, nullptr) << Error::Text();
    EXPECT_EQ(whole.Block(picture.pixels.size()), picture.pixels);
}

TEST_F(TgaFiles, PacketsEndingAtTheLastPixelLeaveTrailingBytesUnread)
{
    Bytes file = RunLengthHeader(2, 1, {0x81, 1, 2, 3});
    const Bytes footer = {0x7F, 0xFF, 0xFF, 0xFF};
    file.insert(file.end(), footer.begin(), footer.end());
    const Loaded loaded = DecodeExactly(file, "footer.tga");
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.Block(6), (Bytes{1, 2, 3, 1, 2, 3}));
}

TEST_F(TgaFiles, SaveWritesHeaderThenBgrPixelsAndLeavesTheCallerBufferSwapped)
{
    const std::string path = PathOf("shot0.tga");
    std::uint8_t pixels[] = {10, 20, 30, 40, 50, 60};
    ASSERT_TRUE(TGA::Save(pixels, path.c_str(), 2, 1, 24)) << Error::Text();
    const Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0,
                            30, 20, 10, 60, 50, 40};
    EXPECT_EQ(ReadAll(path), expected);
    EXPECT_EQ(Bytes(pixels, pixels + 6), (Bytes{30, 20, 10, 60, 50, 40}));
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(TgaFiles, SavedScreenshotLoadsBackTopRowFirst)
{
    const std::string path = PathOf("shot1.tga");
    // Two rows as read back from the frame buffer: bottom row first, RGB.
    std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(TGA::Save(pixels, path.c_str(), 2, 2, 24)) << Error::Text();
    const Loaded loaded = Load(path);
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.Block(12), (Bytes{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
}

TEST_F(TgaFiles, SavedThirtyTwoBitPictureCarriesItsAlphaBits)
{
    const std::string path = PathOf("alpha.tga");
    std::uint8_t pixels[] = {1, 2, 3, 4};
    ASSERT_TRUE(TGA::Save(pixels, path.c_str(), 1, 1, 32)) << Error::Text();
    const Bytes file = ReadAll(path);
    ASSERT_EQ(file.size(), 22u);
    EXPECT_EQ(file[16], 32);
    EXPECT_EQ(file[17], 8);
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), (Bytes{3, 2, 1, 4}));
}

TEST_F(TgaFiles, SaveFailuresAreReported)
{
    const std::string unwritable = scratch_.Path() + "/missing/shot0.tga";
    std::uint8_t pixels[] = {1, 2, 3};
    EXPECT_FALSE(TGA::Save(pixels, unwritable.c_str(), 1, 1, 24));
    EXPECT_EQ(Error::Text(), "TGA::Save: Error opening file (" + unwritable + ")\n");
    EXPECT_EQ(Bytes(pixels, pixels + 3), (Bytes{1, 2, 3})) << "nothing written, nothing swapped";

    Error::Reset();
    const std::string path = PathOf("eight.tga");
    EXPECT_FALSE(TGA::Save(pixels, path.c_str(), 1, 1, 8));
    EXPECT_EQ(Error::Text(), "TGA::Save: Picture type not supported. (" + path + ")\n");
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr) << "a refused picture creates no file";
}

}  // namespace
