// The sealed edition file: a short authenticated header followed by
// fixed-size blocks, each one page of the SQLite database sealed on its own.
//
//   offset 0   16 bytes  magic "Varindel edition"
//   offset 16   4 bytes  format version (little endian), currently 1
//   offset 20   4 bytes  block size B: the SQLite page size of the database
//   offset 24   8 bytes  plain size: the database's length, a multiple of B
//   offset 32  16 bytes  random salt, new for every sealing
//   offset 48  16 bytes  header tag: XChaCha20-Poly1305 over no text with
//                        bytes 0..47 as associated data
//   offset 64  block 0, block 1, ...: B sealed bytes followed by a 16-byte tag
//
// The key is a keyed BLAKE2b of the password with the salt as the key: the
// passwords are long random strings, so a slow password hash would only slow
// down every start. The nonce of block n is the salt followed by n; block n's
// associated data is n, so blocks cannot be swapped, moved or replayed from
// another position. The header tag uses the one nonce no block can have.
//
// Nothing here knows SQLite or Qt: the format is plain bytes in, bytes out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

inline constexpr char kEditionMagic[16] = {'V', 'a', 'r', 'i', 'n', 'd', 'e', 'l', ' ', 'e', 'd', 'i', 't', 'i', 'o', 'n'};
inline constexpr std::uint32_t kEditionFormatVersion = 1;
inline constexpr std::size_t kEditionHeaderSize = 64;
inline constexpr std::size_t kEditionTagSize = 16;
inline constexpr std::size_t kEditionSaltSize = 16;
inline constexpr std::uint32_t kMinEditionBlockSize = 512;
inline constexpr std::uint32_t kMaxEditionBlockSize = 65536;

// What can be wrong with an edition file, from the first look to the last block.
enum class EditionFault {
    None,
    Missing,          // no such file
    Unreadable,       // the system refused to read it
    NotEdition,       // not a sealed edition at all
    UnknownFormat,    // a format version this program does not know
    Truncated,        // shorter than its header says
    WrongPassword,    // the header does not open with this password (or was altered)
    Damaged,          // sizes that cannot be, or bytes after the last block
    DamagedBlock,     // one block failed its check
    NotDatabase,      // opened fine, but what is inside is no database
};

// The user's text for a fault, naming the file as the caller knows it.
// `detail` is the block number for DamagedBlock and the version for UnknownFormat.
std::string EditionFaultText(EditionFault fault, const std::string& fileName, std::uint64_t detail = 0);

struct EditionHeader {
    std::uint32_t version = kEditionFormatVersion;
    std::uint32_t blockSize = 4096;
    std::uint64_t plainSize = 0;
    std::array<unsigned char, kEditionSaltSize> salt{};

    std::uint64_t blockCount() const { return plainSize / blockSize; }
    std::uint64_t sealedBlockSize() const { return std::uint64_t(blockSize) + kEditionTagSize; }
    std::uint64_t sealedFileSize() const { return kEditionHeaderSize + blockCount() * sealedBlockSize(); }
    std::uint64_t blockOffset(std::uint64_t block) const { return kEditionHeaderSize + block * sealedBlockSize(); }
};

using EditionKey = std::array<unsigned char, 32>;

// Derives the key and seals/opens blocks of one edition file.
class EditionCipher {
public:
    EditionCipher(const std::string& password, const EditionHeader& header);
    ~EditionCipher();
    EditionCipher(const EditionCipher&) = delete;
    EditionCipher& operator=(const EditionCipher&) = delete;

    // The 64 header bytes, tag included.
    std::array<unsigned char, kEditionHeaderSize> sealHeader() const;
    // True when the 64 header bytes carry a tag made with this key.
    bool headerOpens(const unsigned char* header) const;

    // plain: blockSize bytes in; sealed: blockSize + tag bytes out.
    void sealBlock(std::uint64_t block, const unsigned char* plain, unsigned char* sealed) const;
    // False (and plain untouched beyond zeros) when the block fails its check.
    bool openBlock(std::uint64_t block, const unsigned char* sealed, unsigned char* plain) const;
    // True exactly when openBlock would open the block, checking its tag
    // without deciphering it: for a check of the whole file, at a fraction of the cost.
    bool blockIsIntact(std::uint64_t block, const unsigned char* sealed) const;

    const EditionHeader& header() const { return header_; }

private:
    EditionHeader header_;
    EditionKey key_{};
};

struct EditionFaultReport {
    EditionFault fault = EditionFault::None;
    std::uint64_t detail = 0;
    bool ok() const { return fault == EditionFault::None; }
};

// Reads the fixed fields of a header. `available` is how many bytes the file
// has in total (it may be shorter than a header). Checks magic, version and
// the shape of the sizes, not the tag: the tag needs the password.
struct HeaderReading {
    EditionFaultReport fault;
    EditionHeader header;
};
HeaderReading ReadEditionHeader(const unsigned char* bytes, std::uint64_t available);

// Everything an opening needs before the first block: the header read and
// checked against the password, and the file's length against the header.
// `bytes` holds min(fileSize, kEditionHeaderSize) bytes of the file's start.
struct EditionOpening {
    EditionFaultReport fault;
    std::unique_ptr<EditionCipher> cipher; // set when fault is None
};
EditionOpening OpenEditionHeader(const unsigned char* bytes, std::uint64_t fileSize, const std::string& password);

// A fresh random salt.
std::array<unsigned char, kEditionSaltSize> NewEditionSalt();

// libsodium must be initialised once before any of the above; safe to call often.
void InitialiseEditionCrypto();
