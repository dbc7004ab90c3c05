// The version stamp is looked up through the section headers: ELF header ->
// section header table -> section name table -> the stamp section. Every
// offset and size comes from the file itself, so each one is checked against
// the file's real size before it is used; a truncated or hostile file ends in
// an empty result, never in a read outside what was read.
#include "ElfVersion.h"

#include "FileVersionStamp.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint64_t kMaxSectionTableBytes = 64u << 20;
constexpr std::uint64_t kMaxNameTableBytes = 16u << 20;
constexpr std::uint64_t kMaxStampBytes = 64u << 10;
constexpr std::uint32_t kSectionTypeNoBits = 8;
constexpr std::uint16_t kExtendedIndex = 0xFFFF;

using Bytes = std::vector<unsigned char>;

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& fileName)
        : descriptor_(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        struct stat status {};
        if (descriptor_ >= 0 && ::fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode))
            size_ = static_cast<std::uint64_t>(status.st_size);
    }
    ~ReadOnlyFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The bytes [offset, offset + count), or nothing when they are not all in the file.
    std::optional<Bytes> read(std::uint64_t offset, std::uint64_t count) const {
        if (!size_ || offset > *size_ || count > *size_ - offset)
            return std::nullopt;
        Bytes bytes(count);
        std::uint64_t done = 0;
        while (done < count) {
            const ssize_t got =
                ::pread(descriptor_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
            if (got <= 0)
                return std::nullopt;
            done += static_cast<std::uint64_t>(got);
        }
        return bytes;
    }

private:
    int descriptor_;
    std::optional<std::uint64_t> size_;
};

std::uint64_t LittleEndian(const Bytes& bytes, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i > 0; --i)
        value = (value << 8) | bytes[offset + i - 1];
    return value;
}

// Where the fields sit in the two ELF classes.
struct ElfLayout {
    std::size_t headerSize, sectionTableOffsetAt, addressWidth, sectionEntrySizeAt, sectionCountAt,
        nameIndexAt;
    std::size_t entrySize, entryOffsetAt, entrySizeAt, entryLinkAt;
};

constexpr ElfLayout kElf32{52, 0x20, 4, 0x2E, 0x30, 0x32, 40, 16, 20, 24};
constexpr ElfLayout kElf64{64, 0x28, 8, 0x3A, 0x3C, 0x3E, 64, 24, 32, 40};

struct Section {
    std::uint32_t name, type;
    std::uint64_t offset, size;
    std::uint32_t link;
};

class ElfSections {
public:
    ElfSections(const ReadOnlyFile& file, const ElfLayout& layout) : file_(file), layout_(layout) {}

    bool load() {
        const auto header = file_.read(0, layout_.headerSize);
        if (!header)
            return false;
        const std::uint64_t tableOffset =
            LittleEndian(*header, layout_.sectionTableOffsetAt, layout_.addressWidth);
        const std::uint64_t entrySize = LittleEndian(*header, layout_.sectionEntrySizeAt, 2);
        std::uint64_t count = LittleEndian(*header, layout_.sectionCountAt, 2);
        nameIndex_ = LittleEndian(*header, layout_.nameIndexAt, 2);
        if (tableOffset == 0 || entrySize < layout_.entrySize)
            return false;
        entrySize_ = entrySize;
        // Files with very many sections keep the real count and name-table
        // index in the first section header.
        if (count == 0 || nameIndex_ == kExtendedIndex) {
            const auto first = file_.read(tableOffset, layout_.entrySize);
            if (!first)
                return false;
            table_ = *first;
            const Section zero = at(0);
            if (count == 0)
                count = zero.size;
            if (nameIndex_ == kExtendedIndex)
                nameIndex_ = zero.link;
        }
        if (count == 0 || count > kMaxSectionTableBytes / entrySize)
            return false;
        auto table = file_.read(tableOffset, count * entrySize);
        if (!table)
            return false;
        table_ = std::move(*table);
        count_ = count;
        return nameIndex_ < count_;
    }

    std::uint64_t count() const { return count_; }
    std::uint64_t nameIndex() const { return nameIndex_; }

    Section at(std::uint64_t index) const {
        const std::size_t base = static_cast<std::size_t>(index * entrySize_);
        return Section{static_cast<std::uint32_t>(LittleEndian(table_, base, 4)),
                       static_cast<std::uint32_t>(LittleEndian(table_, base + 4, 4)),
                       LittleEndian(table_, base + layout_.entryOffsetAt, layout_.addressWidth),
                       LittleEndian(table_, base + layout_.entrySizeAt, layout_.addressWidth),
                       static_cast<std::uint32_t>(LittleEndian(table_, base + layout_.entryLinkAt, 4))};
    }

    std::optional<Bytes> contents(const Section& section, std::uint64_t limit) const {
        if (section.type == kSectionTypeNoBits || section.size > limit)
            return std::nullopt;
        return file_.read(section.offset, section.size);
    }

private:
    const ReadOnlyFile& file_;
    const ElfLayout& layout_;
    Bytes table_;
    std::uint64_t entrySize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t nameIndex_ = 0;
};

bool NameIs(const Bytes& names, std::uint32_t offset, const char* wanted) {
    const std::size_t length = std::strlen(wanted);
    return offset < names.size() && names.size() - offset > length &&
           std::memcmp(names.data() + offset, wanted, length) == 0 && names[offset + length] == 0;
}

std::string TextAfterKey(const Bytes& stamp) {
    const std::size_t keyLength = std::strlen(kFileVersionKey);
    if (stamp.size() < keyLength || std::memcmp(stamp.data(), kFileVersionKey, keyLength) != 0)
        return {};
    std::string text;
    for (std::size_t i = keyLength; i < stamp.size() && stamp[i] != 0; ++i)
        text += static_cast<char>(stamp[i]);
    return text;
}

const ElfLayout* LayoutOf(const ReadOnlyFile& file) {
    const auto ident = file.read(0, 16);
    if (!ident ||
        std::memcmp(ident->data(),
                    "\x7F"
                    "ELF",
                    4) != 0 ||
        (*ident)[5] != 1)
        return nullptr;
    switch ((*ident)[4]) {
    case 1:
        return &kElf32;
    case 2:
        return &kElf64;
    default:
        return nullptr;
    }
}

} // namespace

std::string ReadElfFileVersion(const std::string& fileName) {
    const ReadOnlyFile file(fileName);
    const ElfLayout* layout = LayoutOf(file);
    if (!layout)
        return {};
    ElfSections sections(file, *layout);
    if (!sections.load())
        return {};
    const auto names = sections.contents(sections.at(sections.nameIndex()), kMaxNameTableBytes);
    if (!names)
        return {};
    for (std::uint64_t index = 0; index < sections.count(); ++index) {
        const Section section = sections.at(index);
        if (!NameIs(*names, section.name, kFileVersionSection))
            continue;
        const auto stamp = sections.contents(section, kMaxStampBytes);
        return stamp ? TextAfterKey(*stamp) : std::string();
    }
    return {};
}
