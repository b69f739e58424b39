// JPEG pictures: pixels come out blue-green-red, rows top first; baseline and
// progressive files of one picture decode alike; grey pictures widen to three
// bytes; and every failure is reported and survived: a missing file, garbage,
// a truncated file, a marker that runs past the end.
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

#include <jpeglib.h>
#include <jerror.h>

#include "host/error.h"
#include "image/jpg.h"
#include "pak/pak.h"
#include "tests/image/picture_fixture.h"
#include "tools/writers/jpgwriter.h"
#include "tools/writers/pakwriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::Loaded;
using ::testing::EndsWith;
using ::testing::StartsWith;

Bytes Encode(const Bytes& pixels, int width, int height, JpegPixels layout, const JpegSettings& settings)
{
    Bytes file;
    EXPECT_TRUE(JpegEncode(pixels.data(), width, height, layout, settings, &file)) << Error::Text();
    return file;
}

// A 32 × 24 picture with smooth gradients and hard edges, blue-green-red.
Bytes TestPicture()
{
    Bytes pixels;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            pixels.push_back(static_cast<std::uint8_t>(x * 8));
            pixels.push_back(static_cast<std::uint8_t>(y * 10));
            pixels.push_back(static_cast<std::uint8_t>((x / 8 + y / 8) % 2 ? 230 : 20));
        }
    }
    return pixels;
}

// libjpeg's own text for a message without parameters.
std::string LibjpegMessage(int code)
{
    jpeg_error_mgr errors;
    jpeg_std_error(&errors);
    return errors.jpeg_message_table[code];
}

bool Contains(const Bytes& file, std::uint8_t first, std::uint8_t second)
{
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == first && file[i + 1] == second)
            return true;
    return false;
}

// Each test starts with an empty error text, no open archive and an empty
// directory of its own, which it leaves removed; Load reads as textures do.
class JpgFiles : public test_support::PictureFiles {
protected:
    static Loaded Load(const std::string& name) { return test_support::LoadWith(JPG::Load, name); }

    // Loads file written under name in the test's directory, which is the
    // working directory: messages name it as given.
    static Loaded LoadBytes(const Bytes& file, const char* name)
    {
        EXPECT_TRUE(WriteBytesFile(name, file)) << Error::Text();
        return Load(name);
    }
};

TEST_F(JpgFiles, TwoPixelPictureComesOutBlueGreenRed)
{
    const Bytes redThenBlue = {0, 0, 255, 255, 0, 0};  // blue, green, red each
    JpegSettings exact;
    exact.quality = 100;
    exact.fullChroma = true;
    const Bytes file = Encode(redThenBlue, 2, 1, JpegPixels::BGR, exact);
    EXPECT_EQ(Encode({255, 0, 0, 0, 0, 255}, 2, 1, JpegPixels::RGB, exact), file)
        << "the writer takes either order to the same file";

    const Loaded loaded = Load(Put("two.jpg", file));
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.width, 2);
    EXPECT_EQ(loaded.height, 1);
    EXPECT_EQ(loaded.bits, 24);
    const Bytes pixels = loaded.Block24();
    constexpr int TOLERANCE = 2;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        EXPECT_NEAR(pixels[i], redThenBlue[i], TOLERANCE) << "byte " << i;
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(JpgFiles, BaselineAndProgressiveFilesOfOnePictureDecodeAlike)
{
    const Bytes picture = TestPicture();
    JpegSettings baseline;
    JpegSettings progressive;
    progressive.progressive = true;
    const Bytes baselineFile = Encode(picture, 32, 24, JpegPixels::BGR, baseline);
    const Bytes progressiveFile = Encode(picture, 32, 24, JpegPixels::BGR, progressive);
    ASSERT_TRUE(Contains(baselineFile, 0xFF, 0xC0)) << "a baseline frame";
    ASSERT_FALSE(Contains(baselineFile, 0xFF, 0xC2));
    ASSERT_TRUE(Contains(progressiveFile, 0xFF, 0xC2)) << "a progressive frame";

    const Loaded fromBaseline = Load(Put("baseline.jpg", baselineFile));
    const Loaded fromProgressive = LoadBytes(progressiveFile, "progressive.jpg");
    ASSERT_NE(fromBaseline.pixels, nullptr) << Error::Text();
    ASSERT_NE(fromProgressive.pixels, nullptr) << Error::Text();
    EXPECT_EQ(fromProgressive.width, 32);
    EXPECT_EQ(fromProgressive.height, 24);
    EXPECT_EQ(fromProgressive.Block24(), fromBaseline.Block24());

    // Rows top first, blue first: the first pixel is dark, the top right one
    // bright in blue.
    const Bytes pixels = fromBaseline.Block24();
    EXPECT_NEAR(pixels[0], 0, 12);
    EXPECT_NEAR(pixels[31 * 3], 248, 12);
    EXPECT_NEAR(pixels[23 * 32 * 3 + 1], 230, 12);
}

TEST_F(JpgFiles, GreyPictureComesOutAsThreeEqualBytesAPixel)
{
    Bytes grey(16 * 8);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = i < 8 * 8 ? 40 : 200;
    JpegSettings settings;
    settings.quality = 100;
    const Loaded loaded = LoadBytes(Encode(grey, 16, 8, JpegPixels::GREY, settings), "grey.jpg");
    ASSERT_NE(loaded.pixels, nullptr) << Error::Text();
    EXPECT_EQ(loaded.width, 16);
    EXPECT_EQ(loaded.height, 8);
    EXPECT_EQ(loaded.bits, 24);
    const Bytes pixels = loaded.Block24();
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        EXPECT_EQ(pixels[i], pixels[i + 1]);
        EXPECT_EQ(pixels[i], pixels[i + 2]);
    }
    EXPECT_NEAR(pixels[0], 40, 2);
    EXPECT_NEAR(pixels[pixels.size() - 1], 200, 2);
}

TEST_F(JpgFiles, PictureIsReadFromAnOpenArchiveByItsRequestedName)
{
    const Bytes file = Encode(TestPicture(), 32, 24, JpegPixels::BGR, JpegSettings());
    PakWriter writer;
    ASSERT_TRUE(writer.Add("DATA\\PICTURES\\TEST.JPG", file));
    const std::string archive = PathOf("pictures.kzp");
    ASSERT_TRUE(writer.Write(archive));
    ASSERT_NE(PAK::Open(archive.c_str()), nullptr) << Error::Text();

    const Loaded fromArchive = Load("data\\pictures\\test.jpg");
    ASSERT_NE(fromArchive.pixels, nullptr) << Error::Text();
    EXPECT_EQ(fromArchive.Block24(), LoadBytes(file, "test.jpg").Block24());
}

TEST_F(JpgFiles, MissingFileGivesTheSourceMessagesAfterTheArchiveReader)
{
    const std::string path = PathOf("nowhere.jpg");
    EXPECT_EQ(Load(path).pixels, nullptr);
    EXPECT_THAT(Error::Text(), StartsWith("PAK::ReadFile: File not found. (" + path + ")\n"));
    EXPECT_THAT(Error::Text(), EndsWith("JPEG_mem_src: Error loading jpeg.\n"
                                        "  ( " + path + " )\n"
                                        "JPG_Load: Error initializing jpeg-source. ( " + path + " )\n"));
}

TEST_F(JpgFiles, FilesLibjpegCannotDecodeAreReportedAndSurvived)
{
    const std::string emptyInput = "JPG::Load: " + LibjpegMessage(JERR_INPUT_EMPTY);
    const Bytes file = Encode(TestPicture(), 32, 24, JpegPixels::BGR, JpegSettings());

    const std::string truncated = Put("truncated.jpg", Bytes(file.begin(), file.begin() + file.size() / 2));
    EXPECT_EQ(Load(truncated).pixels, nullptr);
    EXPECT_EQ(Error::Text(), emptyInput + " ( " + truncated + " )\n");

    Error::Reset();
    const std::string garbage = Put("garbage.jpg", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});
    EXPECT_EQ(Load(garbage).pixels, nullptr);
    EXPECT_THAT(Error::Text(), StartsWith("JPG::Load: Not a JPEG file"));
    EXPECT_THAT(Error::Text(), EndsWith(" ( " + garbage + " )\n"));

    // An application marker whose length runs far past the end of the file.
    Error::Reset();
    EXPECT_EQ(LoadBytes({0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00, 1, 2, 3, 4}, "marker.jpg").pixels, nullptr);
    EXPECT_EQ(Error::Text(), emptyInput + " ( marker.jpg )\n");

    Error::Reset();
    EXPECT_EQ(LoadBytes({}, "empty.jpg").pixels, nullptr);
    EXPECT_EQ(Error::Text(), emptyInput + " ( empty.jpg )\n");

    Error::Reset();
    const Loaded whole = LoadBytes(file, "whole.jpg");
    EXPECT_NE(whole.pixels, nullptr) << "a failed decode leaves nothing behind";
    EXPECT_STREQ(Error::Text(), "");
}

// file with the sides of its baseline frame header replaced.
Bytes WithFrameSides(Bytes file, std::uint16_t width, std::uint16_t height)
{
    for (std::size_t i = 0; i + 9 <= file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = static_cast<std::uint8_t>(height >> 8);
            file[i + 6] = static_cast<std::uint8_t>(height);
            file[i + 7] = static_cast<std::uint8_t>(width >> 8);
            file[i + 8] = static_cast<std::uint8_t>(width);
            return file;
        }
    }
    ADD_FAILURE() << "no baseline frame header";
    return file;
}

TEST_F(JpgFiles, SidesAbove8192AreRefusedBeforeAnythingIsAllocated)
{
    const Bytes small = Encode(TestPicture(), 32, 24, JpegPixels::BGR, JpegSettings());
    const struct {
        std::uint16_t width, height;
    } tooLarge[] = {{65500, 65500}, {8193, 1}, {1, 8193}};
    for (const auto& sides : tooLarge) {
        SCOPED_TRACE(std::to_string(sides.width) + " x " + std::to_string(sides.height));
        Error::Reset();
        EXPECT_EQ(LoadBytes(WithFrameSides(small, sides.width, sides.height), "huge.jpg").pixels, nullptr);
        EXPECT_EQ(Error::Text(), std::string("JPG::Load: Picture larger than 8192 pixels a side. ( huge.jpg )\n"));
    }
    Error::Reset();
    const Loaded widest = LoadBytes(Encode(Bytes(8192 * 3, 90), 8192, 1, JpegPixels::BGR, JpegSettings()), "wide.jpg");
    ASSERT_NE(widest.pixels, nullptr) << Error::Text();
    EXPECT_EQ(widest.width, 8192);
}

TEST_F(JpgFiles, EveryShortenedCopyOfAProgressivePictureIsRefused)
{
    JpegSettings progressive;
    progressive.progressive = true;
    Bytes picture(16 * 16 * 3);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint8_t>(i * 37);
    const Bytes file = Encode(picture, 16, 16, JpegPixels::RGB, progressive);
    for (std::size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        Error::Reset();
        EXPECT_EQ(LoadBytes(Bytes(file.begin(), file.begin() + length), "short.jpg").pixels, nullptr);
        EXPECT_THAT(Error::Text(), StartsWith("JPG::Load: "));
        EXPECT_THAT(Error::Text(), EndsWith(" ( short.jpg )\n"));
    }
}

}  // namespace
