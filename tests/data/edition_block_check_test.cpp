// The check of a whole edition file looks at each block's tag only: it must
// accept and refuse exactly the blocks that opening them accepts and refuses.
#include "EditionFormat.h"
#include "TinyEdition.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Whether the tag check and the opening agree on `sealed` as block `block`.
void expectSameVerdict(const EditionCipher& cipher, std::uint64_t block,
                       const std::vector<unsigned char>& sealed, bool intact) {
    std::vector<unsigned char> plain(cipher.header().blockSize);
    EXPECT_EQ(cipher.openBlock(block, sealed.data(), plain.data()), intact);
    EXPECT_EQ(cipher.blockIsIntact(block, sealed.data()), intact);
}

} // namespace

TEST(EditionBlockCheck, AgreesWithOpeningOnEveryAlteredByteAndEveryWrongPlace) {
    InitialiseEditionCrypto();
    for (const std::uint32_t blockSize : {512u, 4096u}) {
        const EditionHeader header = FreshEditionHeader(blockSize, 4);
        const EditionCipher cipher("password", header);
        std::vector<unsigned char> page(blockSize);
        for (std::uint32_t i = 0; i < blockSize; ++i)
            page[i] = static_cast<unsigned char>(i * 13 + 5);
        std::vector<unsigned char> sealed(header.sealedBlockSize());
        cipher.sealBlock(2, page.data(), sealed.data());

        expectSameVerdict(cipher, 2, sealed, true);
        for (const std::uint64_t elsewhere : {0, 1, 3})
            expectSameVerdict(cipher, elsewhere, sealed, false);
        expectSameVerdict(EditionCipher("passworD", header), 2, sealed, false);
        for (std::size_t at = 0; at < sealed.size(); ++at) {
            auto altered = sealed;
            altered[at] ^= at % 2 ? 0x01 : 0x80;
            EXPECT_FALSE(cipher.blockIsIntact(2, altered.data()))
                << "block size " << blockSize << ", byte " << at;
        }
    }
}
