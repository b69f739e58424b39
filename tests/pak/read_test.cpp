// Reading files by name: which archive answers, when the disk answers
// instead, and every way an extraction fails. Names are requested as the
// demo requests them, in lower case with back-slashes.
#include <sys/stat.h>

#include <memory>

#include "tests/pak/archive_fixture.h"

namespace pak_test {
namespace {

using FindingEntries = ArchiveTest;

TEST_F(FindingEntries, ALowerCaseRequestFindsTheUpperCaseEntry)
{
    WriteBytes("dovra.kzp", ArchiveOf({{"DATA\\INTRO\\SCENES\\CUT1.SCN", "scene"}, {"THEMUSIC.MP3", "music"}}));
    PAK* const archive = PAK::Open("dovra.kzp");
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(ReadWhole("themusic.mp3"), "music");
    EXPECT_EQ(ReadWhole("data\\intro\\scenes\\cut1.scn"), "scene");
    EXPECT_EQ(PAK::FileSize("Data\\Intro\\Scenes\\Cut1.scn"), 5u);
    EXPECT_EQ(archive->FindEntry("data/intro/scenes/cut1.scn"), nullptr) << "separators are not converted";
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(FindingEntries, AnEntryStoredWithLowerCaseIsNeverFoundAndTheDiskAnswers)
{
    WriteBytes("dovra.kzp", ArchiveOf({{"loose.txt", "from the archive"}}));
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);
    EXPECT_EQ(PAK::First()->FindEntry("loose.txt"), nullptr);
    EXPECT_EQ(ReadWhole("loose.txt"), std::nullopt);
    EXPECT_EQ(ErrorText(), "PAK::ReadFile: File not found. (loose.txt)\n");

    WriteText("loose.txt", "from the disk");
    EXPECT_EQ(ReadWhole("loose.txt"), "from the disk");
}

TEST_F(FindingEntries, TheFirstArchiveOpenedAndItsFirstEntryWin)
{
    WriteBytes("first.kzp", ArchiveOf({{"SHARED.TXT", "first archive"}, {"SHARED.TXT", "first, again"}}));
    WriteBytes("second.kzp", ArchiveOf({{"SHARED.TXT", "second archive, longer"}, {"ONLY2.TXT", "only"}}));
    WriteText("shared.txt", "disk");
    ASSERT_NE(PAK::Open("first.kzp"), nullptr);
    ASSERT_NE(PAK::Open("second.kzp"), nullptr);
    EXPECT_EQ(ReadWhole("shared.txt"), "first archive");
    EXPECT_EQ(PAK::FileSize("shared.txt"), 13u);
    EXPECT_EQ(ReadWhole("only2.txt"), "only") << "later archives are still searched";

    PAK::CloseAll();
    EXPECT_EQ(ReadWhole("shared.txt"), "disk") << "with no archive open the disk answers";
}

// A tool that plays edits made on the disk reads loose files first: a loose
// file wins over the archive's entry of its name (in whatever case it is
// spelled), other names still come from the archive, and the demo's order
// comes back when the switch is off.
TEST_F(FindingEntries, WithLooseFilesFirstALooseFileWinsOverTheArchive)
{
    WriteBytes("dovra.kzp", ArchiveOf({{"DATA\\MESH.VOB", "archived mesh"}, {"THEMUSIC.MP3", "music"}}));
    WriteText("Data/Mesh.vob", "edited");
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);
    PAK::SetLooseFilesFirst(true);
    EXPECT_EQ(ReadWhole("data\\mesh.vob"), "edited");
    EXPECT_EQ(PAK::FileSize("data\\mesh.vob"), 6u);
    EXPECT_EQ(ReadWhole("themusic.mp3"), "music");
    EXPECT_EQ(ReadWhole("missing.vob"), std::nullopt);
    EXPECT_EQ(ErrorText(), "PAK::ReadFile: File not found. (missing.vob)\n");
    PAK::SetLooseFilesFirst(false);
    EXPECT_EQ(ReadWhole("data\\mesh.vob"), "archived mesh");
    EXPECT_EQ(PAK::FileSize("data\\mesh.vob"), 13u);
}

// An archive that holds the name has the last word, even when the disk has
// a good copy: the failure is reported twice and the disk is not asked.
class ClaimedNames : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        WriteText("data/one.txt", "disk copy");
        ASSERT_TRUE(writer_.Add("DATA\\ONE.TXT", ToBytes("archive copy")));
    }

    void OpenAs(const char* path, const Bytes& archive)
    {
        WriteBytes(path, archive);
        ASSERT_NE(PAK::Open(path), nullptr) << ErrorText();
    }

    void ExpectFailure(const std::string& extraction)
    {
        Error::Reset();
        EXPECT_EQ(PAK::ReadFile("data\\one.txt"), nullptr);
        EXPECT_EQ(ErrorText(), extraction + "PAK::ReadFile: PAK::ReadFile returned an error(data\\one.txt)\n");
    }

    PakWriter writer_;
};

TEST_F(ClaimedNames, ABadChecksumFailsWithTwoMessagesAndNoDiskFallBack)
{
    writer_.Entries()[0].checksum += 1;
    OpenAs("dovra.kzp", writer_.Bytes());
    ExpectFailure("PAK_ReadFile: Corrupt data (checksum error extracting DATA\\ONE.TXT from DOVRA.KZP)\n");

    Error::Reset();
    EXPECT_EQ(PAK::FileSize("data\\one.txt"), 12u) << "the size comes from the filemap, nothing is decoded";
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(ClaimedNames, AnArchiveGoneSinceItWasOpenedFails)
{
    OpenAs("dovra.kzp", writer_.Bytes());
    ASSERT_EQ(std::remove("dovra.kzp"), 0);
    ExpectFailure("PAK::ReadFile: Couldn't open PAK-file(extracting DATA\\ONE.TXT from DOVRA.KZP)\n");
}

TEST_F(ClaimedNames, PackedBytesOutsideTheArchiveAreNeverRead)
{
    const std::string readError =
        "PAK_ReadFile: Error reading compressed data from PAK-file(extracting DATA\\ONE.TXT from DOVRA.KZP)\n";
    const PAK_FILE_Entry sound = writer_.Entries()[0];
    writer_.Entries()[0].offset = 0xFFFFFFF0;  // offset + size wraps in 32 bits
    OpenAs("dovra.kzp", writer_.Bytes());
    ExpectFailure(readError);

    PAK::CloseAll();
    writer_.Entries()[0] = sound;
    writer_.Entries()[0].packedSize = 0xFFFFFFFF;
    OpenAs("dovra.kzp", writer_.Bytes());
    ExpectFailure(readError);
}

TEST_F(ClaimedNames, AnEntryOverTenMebibytesFailsWithZBufError)
{
    ASSERT_TRUE(writer_.Add("BIG.BIN", Bytes(PAK_MAX_DECODED_SIZE + 1, 1)));
    OpenAs("dovra.kzp", writer_.Bytes());
    EXPECT_EQ(PAK::ReadFile("big.bin"), nullptr);
    EXPECT_EQ(ErrorText(),
              "PAK_Decode: zlib returned an error (Z_BUF_ERROR)\n"
              "PAK::ReadFile: PAK::Decode returned an error(extracting BIG.BIN from DOVRA.KZP)\n"
              "PAK::ReadFile: PAK::ReadFile returned an error(big.bin)\n");
    EXPECT_EQ(PAK::FileSize("big.bin"), PAK_MAX_DECODED_SIZE + 1);
}

TEST_F(ClaimedNames, ASizeFieldThatDisagreesWithTheDataFails)
{
    // Callers read FileSize bytes of the buffer: a larger field would send
    // them past its end, so neither direction is let through.
    for (const std::uint32_t size : {13u, 11u}) {
        PAK::CloseAll();
        writer_.Entries()[0].size = size;
        OpenAs("dovra.kzp", writer_.Bytes());
        ExpectFailure("PAK_ReadFile: Corrupt data (size error extracting DATA\\ONE.TXT from DOVRA.KZP)\n");
    }
}

TEST_F(ClaimedNames, AnArchiveIsFoundAgainByItsUpperCasedPath)
{
    ASSERT_TRUE(writer_.Add("EMPTY.TXT", {}));
    OpenAs("sub/Dovra.kzp", writer_.Bytes());
    EXPECT_STREQ(PAK::First()->path, "SUB/DOVRA.KZP");
    EXPECT_EQ(ReadWhole("data\\one.txt"), "archive copy");

    const std::unique_ptr<std::uint8_t[]> empty(PAK::ReadFile("empty.txt"));
    EXPECT_NE(empty, nullptr) << "an empty entry is a buffer, not a failure";
    EXPECT_EQ(PAK::FileSize("empty.txt"), 0u);
    EXPECT_STREQ(Error::Text(), "");
}

using NameLengths = ArchiveTest;

TEST_F(NameLengths, A1023CharacterNameIsServedByArchiveAndDisk)
{
    const std::string stored(1023, 'N');
    const std::string requested(1023, 'n');
    WriteBytes("dovra.kzp", ArchiveOf({{stored, "longest entry"}}));
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);
    EXPECT_NE(PAK::First()->FindEntry(requested.c_str()), nullptr);
    EXPECT_EQ(ReadWhole(requested.c_str()), "longest entry");

    const std::string onDisk = LongDiskPath(1023);
    WriteText(onDisk, "longest file");
    EXPECT_EQ(ReadWhole(onDisk.c_str()), "longest file");
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(NameLengths, A1024CharacterNameIsRefusedBeforeAnyLookUp)
{
    const std::string name = LongDiskPath(1024);
    WriteText(name, "never read");
    WriteBytes("dovra.kzp", ArchiveOf({{"A", "a"}}));
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);

    EXPECT_EQ(PAK::ReadFile(name.c_str()), nullptr);
    EXPECT_EQ(ErrorText(), "PAK::ReadFile: Filename too long(" + name + ")\n");
    Error::Reset();
    EXPECT_EQ(PAK::FileSize(name.c_str()), 0u);
    EXPECT_EQ(ErrorText(), "PAK::FileSize: Filename too long.(" + name + ")\n");
    EXPECT_EQ(PAK::First()->FindEntry(std::string(1024, 'A').c_str()), nullptr);
}

using DiskFallBack = ArchiveTest;

TEST_F(DiskFallBack, TheTwoNotFoundMessagesAreSpacedDifferently)
{
    EXPECT_EQ(PAK::ReadFile("missing.txt"), nullptr);
    EXPECT_EQ(PAK::FileSize("missing.txt"), 0u);
    EXPECT_EQ(ErrorText(),
              "PAK::ReadFile: File not found. (missing.txt)\n"
              "PAK::FileSize: File not found.(missing.txt)\n");
}

TEST_F(DiskFallBack, BackSlashesAreDirectoriesAndCaseIsIgnored)
{
    WriteText("data/intro/scenes/cut1.scn", "cut one");
    WriteText("data/textures/water.tga", "water");
    WriteBytes("dovra.kzp", ArchiveOf({{"OTHER.TXT", "other"}}));
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);

    EXPECT_EQ(ReadWhole("data\\intro\\scenes\\cut1.scn"), "cut one");
    EXPECT_EQ(ReadWhole("DATA\\TEXTURES\\WATER.TGA"), "water");
    EXPECT_EQ(PAK::FileSize("Data\\Textures\\Water.tga"), 5u);
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(DiskFallBack, AnEmptyFileIsABufferAndADirectoryIsNoFile)
{
    WriteText("empty.txt", "");
    const std::unique_ptr<std::uint8_t[]> empty(PAK::ReadFile("empty.txt"));
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(PAK::FileSize("empty.txt"), 0u);
    EXPECT_STREQ(Error::Text(), "");

    ASSERT_EQ(mkdir("folder", 0755), 0);
    EXPECT_EQ(PAK::ReadFile("folder"), nullptr);
    EXPECT_EQ(ErrorText(), "PAK::ReadFile: File not found. (folder)\n");
}

TEST_F(DiskFallBack, TheBufferComesWithItsOwnLength)
{
    WriteText("data/loose.txt", "seven b");
    WriteBytes("dovra.kzp", ArchiveOf({{"PACKED.TXT", "eleven byte"}}));
    ASSERT_NE(PAK::Open("dovra.kzp"), nullptr);
    const struct {
        const char* name;
        std::size_t length;
    } reads[] = {{"data\\loose.txt", 7}, {"packed.txt", 11}, {"missing.txt", 0}};
    for (const auto& read : reads) {
        std::size_t length = 99;
        const std::unique_ptr<std::uint8_t[]> data(PAK::ReadFile(read.name, &length));
        EXPECT_EQ(data != nullptr, read.length != 0) << read.name;
        EXPECT_EQ(length, read.length) << read.name;
    }
}

}  // namespace
}  // namespace pak_test
