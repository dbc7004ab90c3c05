#include "EditionFormat.h"
#include "TinyEdition.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<unsigned char> pageOf(std::uint32_t size, unsigned char seed)
{
    std::vector<unsigned char> page(size);
    for (std::uint32_t i = 0; i < size; ++i)
        page[i] = static_cast<unsigned char>(seed + i * 31);
    return page;
}

} // namespace

TEST(EditionFormat, BlocksOpenOnlyAtTheirOwnPositionWithTheirOwnKey)
{
    const EditionHeader header = FreshEditionHeader(512, 3);
    const EditionCipher cipher("password", header);
    const auto page = pageOf(512, 7);
    std::vector<unsigned char> sealed(header.sealedBlockSize());
    cipher.sealBlock(1, page.data(), sealed.data());
    EXPECT_NE(std::vector<unsigned char>(sealed.begin(), sealed.begin() + 512), page) << "the block must be encrypted";

    std::vector<unsigned char> opened(512);
    ASSERT_TRUE(cipher.openBlock(1, sealed.data(), opened.data()));
    EXPECT_EQ(opened, page);
    EXPECT_FALSE(cipher.openBlock(0, sealed.data(), opened.data())) << "a block moved to another place";
    EXPECT_FALSE(cipher.openBlock(2, sealed.data(), opened.data()));
    EXPECT_FALSE(EditionCipher("passworD", header).openBlock(1, sealed.data(), opened.data()));

    EditionHeader otherSalt = header;
    otherSalt.salt[0] ^= 1;
    EXPECT_FALSE(EditionCipher("password", otherSalt).openBlock(1, sealed.data(), opened.data()));

    for (std::size_t i = 0; i < sealed.size(); i += 37) {
        auto altered = sealed;
        altered[i] ^= 0x20;
        EXPECT_FALSE(cipher.openBlock(1, altered.data(), opened.data())) << "byte " << i;
    }
}

TEST(EditionFormat, HeaderRoundTripsAndItsTagCoversEveryByte)
{
    const EditionHeader header = FreshEditionHeader(4096, 10);
    const EditionCipher cipher("secret", header);
    const auto bytes = cipher.sealHeader();
    const HeaderReading reading = ReadEditionHeader(bytes.data(), header.sealedFileSize());
    ASSERT_TRUE(reading.fault.ok());
    EXPECT_EQ(reading.header.blockSize, 4096u);
    EXPECT_EQ(reading.header.plainSize, 40960u);
    EXPECT_EQ(reading.header.salt, header.salt);

    EXPECT_TRUE(OpenEditionHeader(bytes.data(), header.sealedFileSize(), "secret").fault.ok());
    EXPECT_EQ(OpenEditionHeader(bytes.data(), header.sealedFileSize(), "Secret").fault.fault,
              EditionFault::WrongPassword);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto altered = bytes;
        altered[i] ^= 0x01;
        EXPECT_FALSE(OpenEditionHeader(altered.data(), header.sealedFileSize(), "secret").fault.ok()) << "byte " << i;
    }
}

TEST(EditionFormat, FirstLookTellsForeignShortAndStrangeFilesApart)
{
    const EditionHeader header = FreshEditionHeader(1024, 2);
    const auto bytes = EditionCipher("p", header).sealHeader();
    const std::uint64_t size = header.sealedFileSize();

    EXPECT_EQ(ReadEditionHeader(bytes.data(), 0).fault.fault, EditionFault::NotEdition);
    EXPECT_EQ(ReadEditionHeader(bytes.data(), 9).fault.fault, EditionFault::Truncated);
    EXPECT_EQ(ReadEditionHeader(bytes.data(), 40).fault.fault, EditionFault::Truncated);
    const unsigned char sqlite[] = "SQLite format 3\0and the rest of a page....................................";
    EXPECT_EQ(ReadEditionHeader(sqlite, sizeof sqlite).fault.fault, EditionFault::NotEdition);

    auto newer = bytes;
    newer[16] = 2;
    const HeaderReading reading = ReadEditionHeader(newer.data(), size);
    EXPECT_EQ(reading.fault.fault, EditionFault::UnknownFormat);
    EXPECT_EQ(reading.fault.detail, 2u);

    auto oddBlock = bytes;
    oddBlock[20] = 0x01; // 1025 bytes: no page size
    EXPECT_EQ(ReadEditionHeader(oddBlock.data(), size).fault.fault, EditionFault::Damaged);

    EXPECT_EQ(OpenEditionHeader(bytes.data(), size - 1, "p").fault.fault, EditionFault::Truncated);
    EXPECT_EQ(OpenEditionHeader(bytes.data(), size + 1, "p").fault.fault, EditionFault::Damaged);
}

TEST(EditionFormat, FaultTextsNameTheFile)
{
    EXPECT_EQ(EditionFaultText(EditionFault::WrongPassword, "dataomk.abs"),
              "Файл издания «dataomk.abs» повреждён или пароль не подходит.");
    EXPECT_EQ(EditionFaultText(EditionFault::DamagedBlock, "datakrv.abs", 12),
              "Файл издания «datakrv.abs» повреждён: блок 12 не прошёл проверку.");
    EXPECT_EQ(EditionFaultText(EditionFault::NotEdition, "x.abs"), "Файл «x.abs» не является файлом издания Вариндел.");
    EXPECT_EQ(EditionFaultText(EditionFault::Truncated, "x.abs"), "Файл издания «x.abs» обрезан: он короче, чем должен быть.");
}
