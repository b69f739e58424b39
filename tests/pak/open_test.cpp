// Opening archives: what joins the open-archive list, what is refused with
// which messages, and that a damaged filemap is refused before anything is
// read past its end. A refused archive leaves the list as it was.
#include "tests/pak/archive_fixture.h"

namespace pak_test {
namespace {

using PakOpen = ArchiveTest;

std::vector<const PAK*> OpenArchives()
{
    std::vector<const PAK*> archives;
    for (const PAK* archive = PAK::First(); archive != nullptr; archive = archive->next)
        archives.push_back(archive);
    return archives;
}

std::vector<std::string> EntryNames(const PAK* archive)
{
    std::vector<std::string> names;
    for (const PAK_Entry* entry = archive->first; entry != nullptr; entry = entry->next)
        names.emplace_back(entry->file.name);
    return names;
}

TEST_F(PakOpen, IndexesEveryEntryInFilemapOrderAndKeepsThePathUpperCased)
{
    WriteBytes("sub/Mixed.kzp", ArchiveOf({{"ZETA.TXT", "z"}, {"ALPHA.TXT", "a"}, {"DATA\\B.SCN", "b"}}));
    PAK* const archive = PAK::Open("sub/Mixed.kzp");
    ASSERT_NE(archive, nullptr) << ErrorText();
    EXPECT_EQ(PAK::First(), archive);
    EXPECT_STREQ(archive->path, "SUB/MIXED.KZP");
    EXPECT_EQ(archive->count, 3u);
    EXPECT_EQ(EntryNames(archive), (std::vector<std::string>{"ZETA.TXT", "ALPHA.TXT", "DATA\\B.SCN"}));
    EXPECT_EQ(archive->file, nullptr) << "no handle stays open between calls";
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(PakOpen, AppendsArchivesInTheOrderTheyWereOpened)
{
    WriteBytes("one.kzp", ArchiveOf({{"A", "1"}}));
    WriteBytes("two.kzp", ArchiveOf({{"B", "2"}}));
    PAK* const one = PAK::Open("one.kzp");
    PAK* const two = PAK::Open("two.kzp");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(PAK::First(), one);
    EXPECT_EQ(one->next, two);
    EXPECT_EQ(two->next, nullptr);

    PAK::CloseAll();
    EXPECT_EQ(PAK::First(), nullptr);
    EXPECT_NE(PAK::Open("two.kzp"), nullptr) << "the list starts over after CloseAll";
    EXPECT_EQ(PAK::First()->next, nullptr);
}

TEST_F(PakOpen, ACountOfZeroNeverReadsTheFilemap)
{
    WriteBytes("empty.kzp", ArchiveOf({}));
    Bytes nonsense = ArchiveOf({});
    PutU32(nonsense, MAP_OFFSET_AT, 0xFFFFFFF0);
    PutU32(nonsense, MAP_END_AT, 3);
    WriteBytes("nonsense.kzp", nonsense);

    for (const char* path : {"empty.kzp", "nonsense.kzp"}) {
        PAK* const archive = PAK::Open(path);
        ASSERT_NE(archive, nullptr) << path << ": " << ErrorText();
        EXPECT_EQ(archive->first, nullptr);
    }
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(PakOpen, RefusesAForeignFileWithTwoMessages)
{
    Bytes archive = ArchiveOf({{"A", "a"}});
    archive[MAGIC_AT] = 'K';
    WriteBytes("foreign.kzp", archive);
    EXPECT_EQ(PAK::Open("foreign.kzp"), nullptr);
    EXPECT_EQ(ErrorText(),
              "PAK_FILE_Header::Verify: Invalid PAK-file(foreign.kzp)\n"
              "PAK::Open: PAK_FILE_Header::Verify() returned an error (foreign.kzp)\n");
    EXPECT_EQ(PAK::First(), nullptr);
}

TEST_F(PakOpen, AcceptsAPathOf1023CharactersAndRefuses1024)
{
    const std::string longest = LongDiskPath(1023);
    WriteBytes(longest, ArchiveOf({{"A", "a"}}));
    EXPECT_NE(PAK::Open(longest.c_str()), nullptr) << ErrorText();

    const std::string tooLong = LongDiskPath(1024);
    WriteBytes(tooLong, ArchiveOf({{"A", "a"}}));
    EXPECT_EQ(PAK::Open(tooLong.c_str()), nullptr);
    EXPECT_EQ(ErrorText(), "PAK::Open: Filename too long(" + tooLong + ")\n");
    EXPECT_EQ(PAK::First()->next, nullptr);
}

// Every damaged filemap: Open fails with the expected text and the list
// stays as it was. Run under AddressSanitizer, these also show that nothing
// is read outside the buffers.
class DamagedFilemap : public ArchiveTest {
protected:
    void ExpectRefused(const Bytes& archive, const std::string& messages)
    {
        WriteBytes("damaged.kzp", archive);
        Error::Reset();
        const std::vector<const PAK*> before = OpenArchives();
        EXPECT_EQ(PAK::Open("damaged.kzp"), nullptr);
        EXPECT_EQ(ErrorText(), messages);
        EXPECT_EQ(OpenArchives(), before);
    }

    // Two entries, their filemap at the end of the archive.
    static Bytes Sound() { return ArchiveOf({{"FIRST.TXT", "first"}, {"SECOND.TXT", "second"}}); }
};

TEST_F(DamagedFilemap, RefusesBoundsOutsideTheFile)
{
    const std::string bounds = "PAK::Open: Invalid filemap bounds(damaged.kzp)\n";
    const std::string reading = "PAK::Open: Error reading filemap(damaged.kzp)\n";
    Bytes archive = Sound();
    const std::uint32_t end = static_cast<std::uint32_t>(archive.size());

    PutU32(archive, MAP_OFFSET_AT, end);
    PutU32(archive, MAP_END_AT, end - 10);
    ExpectRefused(archive, bounds);

    PutU32(archive, MAP_OFFSET_AT, end - 10);
    PutU32(archive, MAP_END_AT, end + 1);
    ExpectRefused(archive, reading);

    PutU32(archive, MAP_END_AT, 0xFFFFFFFF);
    ExpectRefused(archive, reading);

    archive = Sound();
    archive.resize(archive.size() - 1);
    ExpectRefused(archive, reading);
}

TEST_F(DamagedFilemap, RefusesACountTheFilemapDoesNotHold)
{
    const std::string tooShort = "PAK::Open: Filemap too short(damaged.kzp)\n";
    Bytes archive = Sound();
    PutU32(archive, COUNT_AT, 3);
    ExpectRefused(archive, tooShort);
    PutU32(archive, COUNT_AT, 0xFFFFFFFF);
    ExpectRefused(archive, tooShort);

    // A filemap one byte short of two whole records.
    PakWriter writer;
    ASSERT_TRUE(writer.Add("FIRST.TXT", ToBytes("1")));
    ASSERT_TRUE(writer.Add("SECOND.TXT", ToBytes("2")));
    const std::vector<PAK_FILE_Entry>& entries = writer.Entries();
    const Bytes packed = PakCompress(entries.data(), entries.size() * PAK_ENTRY_SIZE - 1);
    const Bytes whole = writer.Bytes();
    const Bytes streams(whole.begin() + PAK_HEADER_SIZE,
                        whole.begin() + entries.back().offset + entries.back().packedSize);
    ExpectRefused(PakAssemble(2, streams, packed), tooShort);
}

TEST_F(DamagedFilemap, RefusesAFilemapZlibCannotDecode)
{
    ExpectRefused(PakAssemble(1, {}, ToBytes("no zlib here")),
                  "PAK_Decode: zlib returned an error (Z_DATA_ERROR)\n"
                  "PAK::Open: Error decompressing filemap. (damaged.kzp)\n");

    const Bytes huge(PAK_MAX_DECODED_SIZE + PAK_ENTRY_SIZE, 0);
    ExpectRefused(PakAssemble(10083, {}, PakCompress(huge.data(), huge.size())),
                  "PAK_Decode: zlib returned an error (Z_BUF_ERROR)\n"
                  "PAK::Open: Error decompressing filemap. (damaged.kzp)\n");
}

TEST_F(DamagedFilemap, RefusesANameThatFillsItsWholeField)
{
    PakWriter writer;
    ASSERT_TRUE(writer.Add("GOOD.TXT", ToBytes("good")));
    ASSERT_TRUE(writer.Add("BAD.TXT", ToBytes("bad")));
    std::memset(writer.Entries()[1].name, 'N', PAK_NAME_SIZE);
    ExpectRefused(writer.Bytes(), "PAK::Open: Invalid name in filemap(damaged.kzp)\n");
}

TEST_F(DamagedFilemap, ReadsOnlyTheCountOfRecordsALongerFilemapHolds)
{
    Bytes archive = Sound();
    PutU32(archive, COUNT_AT, 1);
    WriteBytes("longer.kzp", archive);
    PAK* const archiveRecord = PAK::Open("longer.kzp");
    ASSERT_NE(archiveRecord, nullptr) << ErrorText();
    EXPECT_EQ(EntryNames(archiveRecord), std::vector<std::string>{"FIRST.TXT"});
}

TEST_F(DamagedFilemap, LeavesTheListAsItWasForTheNextArchive)
{
    WriteBytes("good.kzp", Sound());
    PAK* const good = PAK::Open("good.kzp");
    ASSERT_NE(good, nullptr);
    Bytes archive = Sound();
    PutU32(archive, COUNT_AT, 3);
    ExpectRefused(archive, "PAK::Open: Filemap too short(damaged.kzp)\n");
    EXPECT_EQ(good->next, nullptr);
    PAK* const again = PAK::Open("good.kzp");
    EXPECT_EQ(good->next, again);
}

}  // namespace
}  // namespace pak_test
