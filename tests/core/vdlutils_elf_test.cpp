// GetFileVersion reads the version stamp out of ELF files. Besides the real
// package, the tests build small ELF files of both classes byte by byte, so
// that every field the reader trusts can be damaged on purpose.
#include "TestEnvironment.h"
#include "Vdlutils.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kProgBits = 1;
constexpr std::uint32_t kStringTable = 3;
constexpr std::uint32_t kNoBits = 8;

struct TestSection {
    std::string name;
    std::uint32_t type;
    std::string data;
};

// A minimal little-endian ELF file: header, section contents, the section
// name table, then the section header table (null entry, the given
// sections, the name table last).
class ElfImage {
public:
    ElfImage(bool is64, const std::vector<TestSection>& sections) : is64_(is64) {
        bytes_.assign(headerSize(), '\0');
        bytes_.replace(0, 7,
                       std::string("\x7F"
                                   "ELF",
                                   4) +
                           char(is64 ? 2 : 1) + char(1) + char(1));
        put(16, 2, 3);
        put(18, 2, is64 ? 62 : 3);
        put(20, 4, 1);

        std::string names(1, '\0');
        std::vector<std::array<std::uint64_t, 4>> entries{{0, 0, 0, 0}}; // name, type, offset, size
        for (const TestSection& section : sections) {
            entries.push_back({names.size(), section.type, bytes_.size(), section.data.size()});
            names += section.name + '\0';
            if (section.type != kNoBits)
                bytes_ += section.data;
        }
        entries.push_back({names.size(), kStringTable, bytes_.size() + names.size() + 10, 0});
        names += std::string(".shstrtab") + '\0';
        entries.back()[2] = bytes_.size();
        entries.back()[3] = names.size();
        bytes_ += names;
        bytes_.append((8 - bytes_.size() % 8) % 8, '\0');

        tableOffset_ = bytes_.size();
        bytes_.append(entries.size() * entrySize(), '\0');
        for (std::size_t i = 0; i < entries.size(); ++i) {
            setSectionField(i, 0, 4, entries[i][0]);
            setSectionField(i, 4, 4, entries[i][1]);
            setSectionField(i, offsetField(), width(), entries[i][2]);
            setSectionField(i, sizeField(), width(), entries[i][3]);
        }
        setHeaderField(Field::TableOffset, tableOffset_);
        put(is64 ? 0x34 : 0x28, 2, headerSize());
        setHeaderField(Field::EntrySize, entrySize());
        setHeaderField(Field::Count, entries.size());
        setHeaderField(Field::NameIndex, entries.size() - 1);
    }

    enum class Field { TableOffset, EntrySize, Count, NameIndex };

    void setHeaderField(Field field, std::uint64_t value) {
        switch (field) {
        case Field::TableOffset:
            put(is64_ ? 0x28 : 0x20, width(), value);
            break;
        case Field::EntrySize:
            put(is64_ ? 0x3A : 0x2E, 2, value);
            break;
        case Field::Count:
            put(is64_ ? 0x3C : 0x30, 2, value);
            break;
        case Field::NameIndex:
            put(is64_ ? 0x3E : 0x32, 2, value);
            break;
        }
    }
    void setSectionField(std::size_t index, std::size_t field, std::size_t fieldWidth, std::uint64_t value) {
        put(tableOffset_ + index * entrySize() + field, fieldWidth, value);
    }
    std::size_t offsetField() const { return is64_ ? 24 : 16; }
    std::size_t sizeField() const { return is64_ ? 32 : 20; }
    std::size_t linkField() const { return is64_ ? 40 : 24; }
    std::size_t width() const { return is64_ ? 8 : 4; }
    std::string& bytes() { return bytes_; }

    std::string versionOf(const TemporaryFolder& folder) const {
        const std::string fileName = folder.file("image.so");
        QFile file(QString::fromStdString(fileName));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return "cannot write";
        file.write(bytes_.data(), static_cast<qint64>(bytes_.size()));
        file.close();
        return GetFileVersion(fileName);
    }

private:
    std::size_t headerSize() const { return is64_ ? 64 : 52; }
    std::size_t entrySize() const { return is64_ ? 64 : 40; }
    void put(std::size_t offset, std::size_t fieldWidth, std::uint64_t value) {
        for (std::size_t i = 0; i < fieldWidth; ++i)
            bytes_[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }

    bool is64_;
    std::string bytes_;
    std::size_t tableOffset_ = 0;
};

std::vector<TestSection> StampedSections(const std::string& stamp) {
    return {{".text", kProgBits, std::string(40, '\x90')},
            {".varindel_version", kProgBits, stamp},
            {".comment", kProgBits, "GCC"}};
}

class GetFileVersionOfElf : public ::testing::TestWithParam<bool> {
protected:
    TemporaryFolder folder;
    ElfImage image{GetParam(), StampedSections(std::string("FileVersion=2.3.4.5") + '\0')};
    static constexpr std::size_t kStampIndex = 2;
    static constexpr std::size_t kNameTableIndex = 4;
};

} // namespace

TEST_P(GetFileVersionOfElf, ReadsTheStampedText) {
    EXPECT_EQ(image.versionOf(folder), "2.3.4.5");
}

TEST_P(GetFileVersionOfElf, StopsAtTheFirstZeroOrAtTheSectionEnd) {
    ElfImage twoStamps(GetParam(),
                       StampedSections(std::string("FileVersion=1.0") + '\0' + "FileVersion=9.9" + '\0'));
    EXPECT_EQ(twoStamps.versionOf(folder), "1.0");
    ElfImage unterminated(GetParam(), StampedSections("FileVersion=7.1"));
    EXPECT_EQ(unterminated.versionOf(folder), "7.1");
}

TEST_P(GetFileVersionOfElf, IsEmptyWithoutTheStampOrItsKey) {
    ElfImage unstamped(GetParam(), {{".text", kProgBits, "code"}, {".data", kProgBits, "FileVersion=1.0"}});
    EXPECT_EQ(unstamped.versionOf(folder), "");
    ElfImage wrongKey(GetParam(), StampedSections(std::string("ProductVersion=1.0") + '\0'));
    EXPECT_EQ(wrongKey.versionOf(folder), "");
    ElfImage prefixedName(GetParam(),
                          {{".varindel_version.old", kProgBits, std::string("FileVersion=1") + '\0'}});
    EXPECT_EQ(prefixedName.versionOf(folder), "");
}

TEST_P(GetFileVersionOfElf, IsEmptyForAStampWithoutBytesInTheFile) {
    ElfImage noBits(GetParam(), {{".varindel_version", kNoBits, std::string(32, 'F')}});
    EXPECT_EQ(noBits.versionOf(folder), "");
}

TEST_P(GetFileVersionOfElf, FindsTheNameTableThroughExtendedNumbering) {
    image.setSectionField(0, image.sizeField(), image.width(), 5);
    image.setSectionField(0, image.linkField(), 4, kNameTableIndex);
    image.setHeaderField(ElfImage::Field::Count, 0);
    image.setHeaderField(ElfImage::Field::NameIndex, 0xFFFF);
    EXPECT_EQ(image.versionOf(folder), "2.3.4.5");
}

TEST_P(GetFileVersionOfElf, IsEmptyWhenHeaderFieldsPointOutsideTheFile) {
    const auto withHeader = [&](ElfImage::Field field, std::uint64_t value) {
        ElfImage damaged = image;
        damaged.setHeaderField(field, value);
        return damaged.versionOf(folder);
    };
    EXPECT_EQ(withHeader(ElfImage::Field::TableOffset, 0), "");
    EXPECT_EQ(withHeader(ElfImage::Field::TableOffset, image.bytes().size() - 8), "");
    EXPECT_EQ(withHeader(ElfImage::Field::TableOffset, ~std::uint64_t(0) >> (GetParam() ? 0 : 32)), "");
    EXPECT_EQ(withHeader(ElfImage::Field::EntrySize, 8), "");
    EXPECT_EQ(withHeader(ElfImage::Field::Count, 0xFFFE), "");
    EXPECT_EQ(withHeader(ElfImage::Field::Count, 0), "");
    EXPECT_EQ(withHeader(ElfImage::Field::NameIndex, 5), "");
    EXPECT_EQ(withHeader(ElfImage::Field::NameIndex, 0xFFFF), "");
}

TEST_P(GetFileVersionOfElf, IsEmptyWhenSectionFieldsPointOutsideTheFile) {
    const std::uint64_t huge = ~std::uint64_t(0) >> (GetParam() ? 0 : 32);
    const auto withSection = [&](std::size_t index, std::size_t field, std::uint64_t value) {
        ElfImage damaged = image;
        damaged.setSectionField(index, field, field == 0 ? 4 : image.width(), value);
        return damaged.versionOf(folder);
    };
    EXPECT_EQ(withSection(kStampIndex, image.offsetField(), image.bytes().size()), "");
    EXPECT_EQ(withSection(kStampIndex, image.offsetField(), huge - 4), "");
    EXPECT_EQ(withSection(kStampIndex, image.sizeField(), huge), "");
    EXPECT_EQ(withSection(kStampIndex, image.sizeField(), image.bytes().size()), "");
    EXPECT_EQ(withSection(kNameTableIndex, image.offsetField(), huge), "");
    EXPECT_EQ(withSection(kNameTableIndex, image.sizeField(), huge), "");
    EXPECT_EQ(withSection(kStampIndex, 0, 0xFFFFFFFF), "");
}

TEST_P(GetFileVersionOfElf, IsEmptyWhenTheNameRunsOffTheNameTable) {
    // The name table starts "\0.text\0.varindel_version\0": ending the
    // table just before that name's zero leaves the name unterminated.
    const std::size_t stampNameOffset = std::string("\0.text\0", 7).size();
    image.setSectionField(kNameTableIndex, image.sizeField(), image.width(),
                          stampNameOffset + std::string(".varindel_version").size());
    EXPECT_EQ(image.versionOf(folder), "");
}

TEST_P(GetFileVersionOfElf, IsEmptyForEveryTruncationOfTheFile) {
    ASSERT_EQ(image.versionOf(folder), "2.3.4.5");
    const std::string fileName = folder.file("image.so");
    for (off_t length = static_cast<off_t>(image.bytes().size()) - 1; length >= 0; --length) {
        ASSERT_EQ(::truncate(fileName.c_str(), length), 0);
        ASSERT_EQ(GetFileVersion(fileName), "") << "truncated to " << length << " bytes";
    }
}

TEST_P(GetFileVersionOfElf, IsEmptyForBigEndianAndUnknownClasses) {
    ElfImage bigEndian = image;
    bigEndian.bytes()[5] = 2;
    EXPECT_EQ(bigEndian.versionOf(folder), "");
    ElfImage unknownClass = image;
    unknownClass.bytes()[4] = 3;
    EXPECT_EQ(unknownClass.versionOf(folder), "");
}

INSTANTIATE_TEST_SUITE_P(BothClasses, GetFileVersionOfElf, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Elf64" : "Elf32"; });

namespace {

std::string PackageFile() {
    return std::string(VARINDEL_BIN_DIR) + "/libvarindel.so";
}

// The stamp as a plain byte search finds it, independent of the ELF structure:
// the first "FileVersion=" with a text after it (the reader's own key, which
// the package holds too, ends right after the "=").
std::string StampBySearch(const QByteArray& contents) {
    const qsizetype keyLength = qsizetype(std::strlen("FileVersion="));
    for (qsizetype start = contents.indexOf("FileVersion="); start >= 0;
         start = contents.indexOf("FileVersion=", start + 1)) {
        const qsizetype textStart = start + keyLength;
        const qsizetype textEnd = contents.indexOf('\0', textStart);
        if (textEnd > textStart)
            return contents.mid(textStart, textEnd - textStart).toStdString();
    }
    return {};
}

} // namespace

TEST(GetFileVersion, ReadsThePackagesStamp) {
    QFile package(QString::fromStdString(PackageFile()));
    ASSERT_TRUE(package.open(QIODevice::ReadOnly)) << "build the package (target varindel) first";
    const std::string version = GetFileVersion(PackageFile());
    EXPECT_TRUE(
        QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(QString::fromStdString(version)).hasMatch())
        << version;
    EXPECT_EQ(version, StampBySearch(package.readAll()));
}

TEST(GetFileVersion, IsEmptyForEveryTruncatedCopyOfThePackage) {
    TemporaryFolder folder;
    const std::string copy = folder.file("libvarindel.so");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(PackageFile()), QString::fromStdString(copy)));
    const off_t size = static_cast<off_t>(QFile(QString::fromStdString(copy)).size());
    std::vector<off_t> lengths{size - 1, size - 64, size / 2, 4096, 65, 64, 63, 16, 4, 0};
    for (off_t length : lengths) {
        ASSERT_EQ(::truncate(copy.c_str(), length), 0);
        EXPECT_EQ(GetFileVersion(copy), "") << "truncated to " << length << " bytes";
    }
}

TEST(GetFileVersion, IsEmptyForFilesWithoutAStamp) {
    TemporaryFolder folder;
    EXPECT_EQ(GetFileVersion(QCoreApplication::applicationFilePath().toStdString()), "");
    EXPECT_EQ(GetFileVersion("/bin/true"), "");
    EXPECT_EQ(GetFileVersion(folder.file("missing.so")), "");
    EXPECT_EQ(GetFileVersion(folder.path()), "");

    QFile text(QString::fromStdString(folder.file("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("FileVersion=1.2.3.4");
    text.close();
    EXPECT_EQ(GetFileVersion(folder.file("notes.txt")), "");
}

TEST(GetFileVersion, DoesNotWaitOnAPipe) {
    TemporaryFolder folder;
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(GetFileVersion(pipe), "");
}
