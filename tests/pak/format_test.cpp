// The archive's byte-level pieces: the checksum every format shares, the
// bounded zlib decode with its three messages, and the header check.
#include <zlib.h>

#include <memory>

#include "tests/pak/archive_fixture.h"

namespace pak_test {
namespace {

TEST(PakChecksum, SumsUnsignedBytesAndWrapsAt32Bits)
{
    EXPECT_EQ(PAK_Checksum("abc", 3), 294u);
    EXPECT_EQ(PAK_Checksum(nullptr, 0), 0u);
    const std::uint8_t high[] = {0xFF, 0x01};
    EXPECT_EQ(PAK_Checksum(high, sizeof high), 256u) << "bytes are unsigned";
    // 16843010 bytes of 255 sum to 2^32 + 254.
    const Bytes many(16843010, 0xFF);
    EXPECT_EQ(PAK_Checksum(many.data(), many.size()), 254u);
}

class PakDecode : public ::testing::Test {
protected:
    void SetUp() override { Error::Reset(); }

    // Decodes and keeps the buffer; the stored size comes back in size_.
    std::unique_ptr<std::uint8_t[]> Decode(const Bytes& packed)
    {
        size_ = 0xDEADBEEF;
        return std::unique_ptr<std::uint8_t[]>(
            PAK_Decode(packed.data(), &size_, static_cast<std::uint32_t>(packed.size())));
    }

    std::uint32_t size_ = 0;
};

TEST_F(PakDecode, ReturnsExactlyTheDecodedBytesUpToTenMebibytes)
{
    const Bytes text = ToBytes("the decoded bytes");
    const auto decoded = Decode(PakCompress(text.data(), text.size()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(Bytes(decoded.get(), decoded.get() + size_), text);

    const auto empty = Decode(PakCompress(nullptr, 0));
    ASSERT_TRUE(empty) << "an empty stream is a valid one";
    EXPECT_EQ(size_, 0u);

    Bytes full(PAK_MAX_DECODED_SIZE, 7);
    full.back() = 9;
    const auto largest = Decode(PakCompress(full.data(), full.size()));
    ASSERT_TRUE(largest);
    ASSERT_EQ(size_, PAK_MAX_DECODED_SIZE);
    EXPECT_EQ(largest[PAK_MAX_DECODED_SIZE - 1], 9);
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(PakDecode, NamesTheZlibErrorOfAStreamItCannotDecode)
{
    const Bytes tooLarge(PAK_MAX_DECODED_SIZE + 1, 0);
    EXPECT_FALSE(Decode(PakCompress(tooLarge.data(), tooLarge.size())));
    EXPECT_STREQ(Error::Text(), "PAK_Decode: zlib returned an error (Z_BUF_ERROR)\n");

    Error::Reset();
    EXPECT_FALSE(Decode(ToBytes("not a zlib stream")));
    EXPECT_STREQ(Error::Text(), "PAK_Decode: zlib returned an error (Z_DATA_ERROR)\n");

    Error::Reset();
    const Bytes text = ToBytes("a stream cut short loses its end");
    Bytes cut = PakCompress(text.data(), text.size());
    cut.resize(cut.size() - 6);
    EXPECT_FALSE(Decode(cut));
    EXPECT_STREQ(Error::Text(), "PAK_Decode: zlib returned an error (Z_DATA_ERROR)\n");
}

using PakHeaderVerify = ArchiveTest;

TEST_F(PakHeaderVerify, ReturnsTheStoredHeader)
{
    Bytes archive = ArchiveOf({{"A.TXT", "a"}, {"B.TXT", "b"}});
    archive[0] = 'x';
    WriteBytes("a.kzp", archive);
    const std::unique_ptr<PAK_FILE_Header> header(PAK_FILE_Header::Verify("a.kzp"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->magic, PAK_FILE_ID);
    EXPECT_EQ(header->FileCount, 2u);
    EXPECT_EQ(header->MapEnd, archive.size());
    EXPECT_EQ(header->text[0], 'x');
    EXPECT_STREQ(Error::Text(), "");
}

TEST_F(PakHeaderVerify, RefusesAMissingShortOrForeignFile)
{
    EXPECT_EQ(PAK_FILE_Header::Verify("none.kzp"), nullptr);
    EXPECT_EQ(ErrorText(), "PAK_FILE_Header::Verify: Couldn't open PAK-file(none.kzp)\n");

    Error::Reset();
    Bytes archive = ArchiveOf({});
    ASSERT_EQ(archive.size(), PAK_HEADER_SIZE) << "an empty archive is a default header";
    archive.pop_back();
    WriteBytes("short.kzp", archive);
    EXPECT_EQ(PAK_FILE_Header::Verify("short.kzp"), nullptr);
    EXPECT_EQ(ErrorText(), "PAK_FILE_Header::Verify: Couldn't read PAK-header(short.kzp)\n");

    Error::Reset();
    archive = ArchiveOf({});
    archive[MAGIC_AT + 3] = 'G';
    WriteBytes("foreign.kzp", archive);
    EXPECT_EQ(PAK_FILE_Header::Verify("foreign.kzp"), nullptr);
    EXPECT_EQ(ErrorText(), "PAK_FILE_Header::Verify: Invalid PAK-file(foreign.kzp)\n");
}

}  // namespace
}  // namespace pak_test
