// aqtool's archive commands, run as the data makers run them: a small tree
// is packed, listed, extracted and verified, and the archive is checked
// byte by byte against what the reader and the sources say.
#include <algorithm>
#include <memory>
#include <sstream>

#include "tests/pak/archive_fixture.h"
#include "tests/support/aqtool_run.h"

namespace pak_test {
namespace {

using Outcome = test_support::AqtoolOutcome;
using test_support::Aqtool;

std::string Binary()
{
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>((i * 7) % 256);
    return bytes;
}

// The sources and the entry names aqtool pack gives them, in stored order:
// '2' sorts before '\'.
const std::vector<std::pair<std::string, std::string>> TREE = {
    {"Data2/Mixed.Case", "mixed"},
    {"data/intro/scenes/cut1.scn", "cut one"},
    {"empty.txt", ""},
    {"themusic.mp3", Binary()},
};
const std::vector<std::string> ENTRY_NAMES = {"DATA2\\MIXED.CASE", "DATA\\INTRO\\SCENES\\CUT1.SCN", "EMPTY.TXT",
                                              "THEMUSIC.MP3"};

class AqtoolArchive : public ArchiveTest {
protected:
    static void MakeTree(const std::string& root, bool reversed)
    {
        std::vector<std::pair<std::string, std::string>> files = TREE;
        if (reversed)
            std::reverse(files.begin(), files.end());
        for (const auto& file : files)
            WriteText(root + "/" + file.first, file.second);
    }
};

TEST_F(AqtoolArchive, PackListExtractAndVerifyAgreeWithTheSources)
{
    MakeTree("tree", false);
    const Outcome pack = Aqtool({"pack", "out.kzp", "tree"});
    ASSERT_EQ(pack.status, 0) << pack.err;

    const Outcome list = Aqtool({"list", "out.kzp"});
    ASSERT_EQ(list.status, 0) << list.err;
    const Bytes archive = ReadBytes("out.kzp");
    std::istringstream lines(list.out);
    for (std::size_t i = 0; i < TREE.size(); ++i) {
        std::string name;
        std::uint32_t size = 0, packedSize = 0, checksum = 0, offset = 0;
        ASSERT_TRUE(lines >> name >> size >> packedSize >> checksum >> offset) << list.out;
        EXPECT_EQ(name, ENTRY_NAMES[i]);
        EXPECT_EQ(size, TREE[i].second.size());
        ASSERT_LE(std::uint64_t{offset} + packedSize, archive.size());
        EXPECT_EQ(checksum, PAK_Checksum(archive.data() + offset, packedSize));
        std::uint32_t decodedSize = 0;
        const std::unique_ptr<std::uint8_t[]> decoded(PAK_Decode(archive.data() + offset, &decodedSize, packedSize));
        ASSERT_TRUE(decoded) << ErrorText();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(decoded.get()), decodedSize), TREE[i].second);
    }
    std::string rest;
    EXPECT_FALSE(lines >> rest) << "one line per entry";

    for (std::size_t i = 0; i < TREE.size(); ++i) {
        const Outcome extract = Aqtool({"extract", "out.kzp", ENTRY_NAMES[i], "copy"});
        ASSERT_EQ(extract.status, 0) << extract.err;
        EXPECT_EQ(ReadBytes("copy"), ToBytes(TREE[i].second)) << ENTRY_NAMES[i];
    }
    const Outcome verify = Aqtool({"verify", "out.kzp"});
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_EQ(verify.err, "");
}

TEST_F(AqtoolArchive, PackingTheSameFilesGivesTheSameBytes)
{
    MakeTree("tree", false);
    MakeTree("again", true);
    ASSERT_EQ(Aqtool({"pack", "one.kzp", "tree"}).status, 0);
    ASSERT_EQ(Aqtool({"pack", "two.kzp", "tree"}).status, 0);
    ASSERT_EQ(Aqtool({"pack", "three.kzp", "again"}).status, 0);
    const Bytes one = ReadBytes("one.kzp");
    EXPECT_EQ(ReadBytes("two.kzp"), one);
    EXPECT_EQ(ReadBytes("three.kzp"), one) << "the order files were made in does not matter";
    EXPECT_EQ(Bytes(one.begin(), one.begin() + PAK_FREE_TEXT_SIZE), Bytes(PAK_FREE_TEXT_SIZE, 0));

    // An archive written inside the tree it packs does not pack itself.
    ASSERT_EQ(Aqtool({"pack", "tree/self.kzp", "tree"}).status, 0);
    ASSERT_EQ(Aqtool({"pack", "tree/self.kzp", "tree"}).status, 0);
    EXPECT_EQ(ReadBytes("tree/self.kzp"), one);
}

TEST_F(AqtoolArchive, VerifyReportsEachBadEntryOnItsOwnLine)
{
    MakeTree("tree", false);
    ASSERT_EQ(Aqtool({"pack", "out.kzp", "tree"}).status, 0);
    PAK* const archive = PAK::Open("out.kzp");
    ASSERT_NE(archive, nullptr);
    Bytes bytes = ReadBytes("out.kzp");
    for (const char* name : {"themusic.mp3", "data\\intro\\scenes\\cut1.scn"})
        bytes[archive->FindEntry(name)->file.offset + 3] ^= 0x10;
    WriteBytes("out.kzp", bytes);

    const Outcome verify = Aqtool({"verify", "out.kzp"});
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.err,
              "DATA\\INTRO\\SCENES\\CUT1.SCN: PAK_ReadFile: Corrupt data (checksum error extracting "
              "DATA\\INTRO\\SCENES\\CUT1.SCN from OUT.KZP)\n"
              "THEMUSIC.MP3: PAK_ReadFile: Corrupt data (checksum error extracting THEMUSIC.MP3 from OUT.KZP)\n"
              "aqtool verify: 2 of 4 entries are bad\n");
}

TEST_F(AqtoolArchive, ExtractReadsANameAsTheDemoDoes)
{
    MakeTree("tree", false);
    ASSERT_EQ(Aqtool({"pack", "out.kzp", "tree"}).status, 0);
    WriteText("loose/extra.txt", "only on the disk");
    const Outcome fallBack = Aqtool({"extract", "out.kzp", "LOOSE\\EXTRA.TXT", "copy"});
    ASSERT_EQ(fallBack.status, 0) << fallBack.err;
    EXPECT_EQ(ReadBytes("copy"), ToBytes("only on the disk"));

    const Outcome missing = Aqtool({"extract", "out.kzp", "missing.txt", "copy"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "PAK::ReadFile: File not found. (missing.txt)\n");

    const Outcome noArchive = Aqtool({"extract", "none.kzp", "themusic.mp3", "copy"});
    EXPECT_EQ(noArchive.status, 1);
    EXPECT_EQ(noArchive.err,
              "PAK_FILE_Header::Verify: Couldn't open PAK-file(none.kzp)\n"
              "PAK::Open: PAK_FILE_Header::Verify() returned an error (none.kzp)\n");
}

TEST_F(AqtoolArchive, PackRefusesWhatTheReaderCouldNotServe)
{
    WriteText("twins/a.txt", "lower");
    WriteText("twins/A.TXT", "upper");
    const Outcome twins = Aqtool({"pack", "out.kzp", "twins"});
    EXPECT_EQ(twins.status, 1);
    EXPECT_EQ(twins.err, "aqtool pack: Two files share the entry name(A.TXT)\n");

    WriteBytes("big/large.bin", Bytes(PAK_MAX_DECODED_SIZE + 1, 0));
    const Outcome big = Aqtool({"pack", "out.kzp", "big"});
    EXPECT_EQ(big.status, 1);
    EXPECT_EQ(big.err, "aqtool pack: File larger than the 10 MiB an entry may hold(big/large.bin)\n");

    EXPECT_EQ(Aqtool({"pack", "out.kzp", "no-such-dir"}).status, 1);
}

TEST_F(AqtoolArchive, AWrongCallPrintsTheCommands)
{
    const std::vector<std::vector<std::string>> wrongCalls = {{}, {"unpack", "a"}, {"list"}, {"pack", "out.kzp"}};
    for (const std::vector<std::string>& call : wrongCalls) {
        const Outcome outcome = Aqtool(call);
        EXPECT_EQ(outcome.status, 2);
        for (const char* usage : {"pack OUT.kzp DIR", "list ARCHIVE", "extract ARCHIVE NAME OUT", "verify ARCHIVE"})
            EXPECT_NE(outcome.err.find(usage), std::string::npos) << usage;
    }
}

TEST_F(AqtoolArchive, HelpGoesToStdoutAndAnUnknownCommandIsNamed)
{
    for (const char* request : {"--help", "-h", "help"}) {
        const Outcome help = Aqtool({request});
        EXPECT_EQ(help.status, 0) << request;
        EXPECT_EQ(help.err, "") << request;
        EXPECT_NE(help.out.find("extract ARCHIVE NAME OUT"), std::string::npos) << request;
        EXPECT_NE(help.out.find("8192"), std::string::npos) << "the picture bound is told";
    }
    const Outcome bogus = Aqtool({"bogus"});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_EQ(bogus.out, "");
    EXPECT_EQ(bogus.err.rfind("aqtool: no command 'bogus'\nusage: aqtool", 0), 0u) << bogus.err;
}

TEST_F(AqtoolArchive, ExtractTakesSlashesForTheArchivesBackSlashes)
{
    MakeTree("tree", false);
    ASSERT_EQ(Aqtool({"pack", "out.kzp", "tree"}).status, 0);
    const Outcome extract = Aqtool({"extract", "out.kzp", "data/intro/scenes/cut1.scn", "copy"});
    ASSERT_EQ(extract.status, 0) << extract.err;
    EXPECT_EQ(ReadBytes("copy"), ToBytes("cut one"));
}

}  // namespace
}  // namespace pak_test
