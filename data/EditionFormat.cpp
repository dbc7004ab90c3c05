#include "EditionFormat.h"

#include <sodium.h>

#include <cstring>
#include <mutex>
#include <stdexcept>

namespace {

// A sealed file larger than this is taken as damage: no edition comes near it,
// and it keeps every size computation far from overflowing.
constexpr std::uint64_t kLargestPlainSize = std::uint64_t(1) << 48;
constexpr std::uint64_t kHeaderNonceNumber = ~std::uint64_t(0);
constexpr char kKeyContext[] = "Varindel edition key v1";

void putUint32(unsigned char* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

void putUint64(unsigned char* out, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t getUint32(const unsigned char* in)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

std::uint64_t getUint64(const unsigned char* in)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

using Nonce = std::array<unsigned char, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES>;

Nonce nonceFor(const EditionHeader& header, std::uint64_t number)
{
    static_assert(kEditionSaltSize + 8 == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    Nonce nonce{};
    std::memcpy(nonce.data(), header.salt.data(), kEditionSaltSize);
    putUint64(nonce.data() + kEditionSaltSize, number);
    return nonce;
}

std::array<unsigned char, 8> blockAssociatedData(std::uint64_t block)
{
    std::array<unsigned char, 8> data{};
    putUint64(data.data(), block);
    return data;
}

bool isPowerOfTwo(std::uint32_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

bool isMagicPrefix(const unsigned char* bytes, std::uint64_t length)
{
    return length > 0 && std::memcmp(bytes, kEditionMagic, length) == 0;
}

} // namespace

void InitialiseEditionCrypto()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0)
            throw std::runtime_error("libsodium could not be initialised");
    });
}

std::string EditionFaultText(EditionFault fault, const std::string& fileName, std::uint64_t detail)
{
    const std::string quoted = "«" + fileName + "»";
    switch (fault) {
    case EditionFault::None:
        return {};
    case EditionFault::Missing:
        return "Файл издания " + quoted + " не найден.";
    case EditionFault::Unreadable:
        return "Не удалось прочитать файл издания " + quoted + ".";
    case EditionFault::NotEdition:
        return "Файл " + quoted + " не является файлом издания Вариндел.";
    case EditionFault::UnknownFormat:
        return "Файл издания " + quoted + " записан в неизвестном формате (версия " + std::to_string(detail) + ").";
    case EditionFault::Truncated:
        return "Файл издания " + quoted + " обрезан: он короче, чем должен быть.";
    case EditionFault::WrongPassword:
        return "Файл издания " + quoted + " повреждён или пароль не подходит.";
    case EditionFault::Damaged:
        return "Файл издания " + quoted + " повреждён.";
    case EditionFault::DamagedBlock:
        return "Файл издания " + quoted + " повреждён: блок " + std::to_string(detail) + " не прошёл проверку.";
    case EditionFault::NotDatabase:
        return "Файл издания " + quoted + " не содержит базы данных.";
    }
    return "Файл издания " + quoted + " повреждён.";
}

EditionCipher::EditionCipher(const std::string& password, const EditionHeader& header) : header_(header)
{
    InitialiseEditionCrypto();
    crypto_generichash_state state;
    crypto_generichash_init(&state, header.salt.data(), header.salt.size(), key_.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(kKeyContext), sizeof kKeyContext);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(password.data()), password.size());
    crypto_generichash_final(&state, key_.data(), key_.size());
    sodium_memzero(&state, sizeof state);
}

EditionCipher::~EditionCipher()
{
    sodium_memzero(key_.data(), key_.size());
}

std::array<unsigned char, kEditionHeaderSize> EditionCipher::sealHeader() const
{
    std::array<unsigned char, kEditionHeaderSize> bytes{};
    std::memcpy(bytes.data(), kEditionMagic, sizeof kEditionMagic);
    putUint32(bytes.data() + 16, header_.version);
    putUint32(bytes.data() + 20, header_.blockSize);
    putUint64(bytes.data() + 24, header_.plainSize);
    std::memcpy(bytes.data() + 32, header_.salt.data(), kEditionSaltSize);
    const Nonce nonce = nonceFor(header_, kHeaderNonceNumber);
    unsigned long long tagLength = 0;
    unsigned char nothing = 0; // the header tag seals no text, only the header bytes
    crypto_aead_xchacha20poly1305_ietf_encrypt_detached(&nothing, bytes.data() + 48, &tagLength, &nothing, 0,
                                                        bytes.data(), 48, nullptr, nonce.data(), key_.data());
    return bytes;
}

bool EditionCipher::headerOpens(const unsigned char* header) const
{
    const Nonce nonce = nonceFor(header_, kHeaderNonceNumber);
    unsigned char nothing = 0;
    return crypto_aead_xchacha20poly1305_ietf_decrypt_detached(&nothing, nullptr, &nothing, 0, header + 48, header, 48,
                                                               nonce.data(), key_.data()) == 0;
}

void EditionCipher::sealBlock(std::uint64_t block, const unsigned char* plain, unsigned char* sealed) const
{
    const Nonce nonce = nonceFor(header_, block);
    const auto associated = blockAssociatedData(block);
    unsigned long long tagLength = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt_detached(sealed, sealed + header_.blockSize, &tagLength, plain,
                                                        header_.blockSize, associated.data(), associated.size(),
                                                        nullptr, nonce.data(), key_.data());
}

bool EditionCipher::openBlock(std::uint64_t block, const unsigned char* sealed, unsigned char* plain) const
{
    const Nonce nonce = nonceFor(header_, block);
    const auto associated = blockAssociatedData(block);
    return crypto_aead_xchacha20poly1305_ietf_decrypt_detached(plain, nullptr, sealed, header_.blockSize,
                                                               sealed + header_.blockSize, associated.data(),
                                                               associated.size(), nonce.data(), key_.data()) == 0;
}

// The tag XChaCha20-Poly1305 (IETF) puts on a block, computed as libsodium
// computes it when it opens one: a subkey by HChaCha20 from the first 16
// bytes of the nonce, the Poly1305 key from the first ChaCha20 block under
// the last 8, then Poly1305 over the associated data and the sealed bytes,
// each padded to 16 bytes, and their two lengths.
bool EditionCipher::blockIsIntact(std::uint64_t block, const unsigned char* sealed) const
{
    const Nonce nonce = nonceFor(header_, block);
    const auto associated = blockAssociatedData(block);
    std::array<unsigned char, crypto_core_hchacha20_OUTPUTBYTES> subkey{};
    crypto_core_hchacha20(subkey.data(), nonce.data(), key_.data(), nullptr);
    std::array<unsigned char, crypto_stream_chacha20_ietf_NONCEBYTES> blockNonce{};
    std::memcpy(blockNonce.data() + 4, nonce.data() + crypto_core_hchacha20_INPUTBYTES, 8);
    std::array<unsigned char, crypto_onetimeauth_poly1305_KEYBYTES> macKey{};
    crypto_stream_chacha20_ietf(macKey.data(), macKey.size(), blockNonce.data(), subkey.data());
    static constexpr unsigned char kPadding[16] = {};
    std::array<unsigned char, 16> lengths{};
    putUint64(lengths.data(), associated.size());
    putUint64(lengths.data() + 8, header_.blockSize);
    crypto_onetimeauth_poly1305_state state;
    crypto_onetimeauth_poly1305_init(&state, macKey.data());
    crypto_onetimeauth_poly1305_update(&state, associated.data(), associated.size());
    crypto_onetimeauth_poly1305_update(&state, kPadding, (16 - associated.size() % 16) % 16);
    crypto_onetimeauth_poly1305_update(&state, sealed, header_.blockSize);
    crypto_onetimeauth_poly1305_update(&state, kPadding, (16 - header_.blockSize % 16) % 16);
    crypto_onetimeauth_poly1305_update(&state, lengths.data(), lengths.size());
    std::array<unsigned char, crypto_onetimeauth_poly1305_BYTES> tag{};
    crypto_onetimeauth_poly1305_final(&state, tag.data());
    sodium_memzero(subkey.data(), subkey.size());
    sodium_memzero(macKey.data(), macKey.size());
    return crypto_verify_16(tag.data(), sealed + header_.blockSize) == 0;
}

HeaderReading ReadEditionHeader(const unsigned char* bytes, std::uint64_t available)
{
    HeaderReading reading;
    const std::uint64_t magicLength = sizeof kEditionMagic;
    if (available < magicLength) {
        reading.fault.fault = isMagicPrefix(bytes, available) ? EditionFault::Truncated : EditionFault::NotEdition;
        return reading;
    }
    if (!isMagicPrefix(bytes, magicLength)) {
        reading.fault.fault = EditionFault::NotEdition;
        return reading;
    }
    if (available < kEditionHeaderSize) {
        reading.fault.fault = EditionFault::Truncated;
        return reading;
    }
    EditionHeader& header = reading.header;
    header.version = getUint32(bytes + 16);
    header.blockSize = getUint32(bytes + 20);
    header.plainSize = getUint64(bytes + 24);
    std::memcpy(header.salt.data(), bytes + 32, kEditionSaltSize);
    if (header.version != kEditionFormatVersion) {
        reading.fault = {EditionFault::UnknownFormat, header.version};
        return reading;
    }
    const bool blockSizeSound = isPowerOfTwo(header.blockSize) && header.blockSize >= kMinEditionBlockSize &&
                                header.blockSize <= kMaxEditionBlockSize;
    if (!blockSizeSound || header.plainSize == 0 || header.plainSize > kLargestPlainSize ||
        header.plainSize % header.blockSize != 0)
        reading.fault.fault = EditionFault::Damaged;
    return reading;
}

EditionOpening OpenEditionHeader(const unsigned char* bytes, std::uint64_t fileSize, const std::string& password)
{
    EditionOpening opening;
    HeaderReading reading = ReadEditionHeader(bytes, fileSize);
    if (!reading.fault.ok()) {
        opening.fault = reading.fault;
        return opening;
    }
    auto cipher = std::make_unique<EditionCipher>(password, reading.header);
    const std::uint64_t expected = reading.header.sealedFileSize();
    if (!cipher->headerOpens(bytes))
        opening.fault.fault = EditionFault::WrongPassword;
    else if (fileSize < expected)
        opening.fault.fault = EditionFault::Truncated;
    else if (fileSize > expected)
        opening.fault.fault = EditionFault::Damaged;
    else
        opening.cipher = std::move(cipher);
    return opening;
}

std::array<unsigned char, kEditionSaltSize> NewEditionSalt()
{
    InitialiseEditionCrypto();
    std::array<unsigned char, kEditionSaltSize> salt{};
    randombytes_buf(salt.data(), salt.size());
    return salt;
}
