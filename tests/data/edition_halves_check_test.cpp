// A large edition is checked in two halves at once while it opens: damage in
// either half fails the opening, and the first damaged block in the file is
// the one named, as a check from front to back would name it.
#include "Database.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr qsizetype kHeaderBytes = 64;
constexpr qsizetype kSealedBlockBytes = 4096 + 16;

class LargeEditionCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder;
        TinyEdition edition(folder_->file("plain.sqlite"));
        // Some 5 000 pages of 4 KiB: past the size from which two threads check.
        edition.addContent(2, QByteArray(qsizetype(20) * 1024 * 1024, 'm'));
        edition.sealAs(folder_->file("sealed.abs"), 1);
        QFile sealed(QString::fromStdString(folder_->file("sealed.abs")));
        sealed.open(QIODevice::ReadOnly);
        whole_ = new QByteArray(sealed.readAll());
    }
    static void TearDownTestSuite() {
        delete whole_;
        delete folder_;
    }

    static qsizetype blockCount() { return (whole_->size() - kHeaderBytes) / kSealedBlockBytes; }

    // Opens a copy with one byte inside each of `blocks` altered.
    Status openAltered(std::initializer_list<qsizetype> blocks) {
        QByteArray bytes = *whole_;
        for (const qsizetype block : blocks) {
            const qsizetype at = kHeaderBytes + block * kSealedBlockBytes + 1000;
            bytes[at] = static_cast<char>(bytes[at] ^ 0x04);
        }
        const QString path = QString::fromStdString(folder_->file("altered.abs"));
        QFile altered(path);
        altered.open(QIODevice::WriteOnly | QIODevice::Truncate);
        altered.write(bytes);
        altered.close();
        con_.DatabaseFileName = path;
        con_.Password = MapPw[1];
        return con_.Open();
    }

    static std::string damageText(qsizetype block) {
        return "Файл издания «" + folder_->file("altered.abs") + "» повреждён: блок " +
               std::to_string(block) + " не прошёл проверку.";
    }

    static TemporaryFolder* folder_;
    static QByteArray* whole_;
    TDatabase con_;
};

TemporaryFolder* LargeEditionCheck::folder_ = nullptr;
QByteArray* LargeEditionCheck::whole_ = nullptr;

} // namespace

TEST_F(LargeEditionCheck, AnIntactEditionOpens) {
    ASSERT_GT(blockCount(), 4096);
    EXPECT_TRUE(openAltered({}));
}

TEST_F(LargeEditionCheck, DamageInEitherHalfIsNamed) {
    for (const qsizetype block : {qsizetype(1), blockCount() / 2 - 1, blockCount() / 2, blockCount() - 1}) {
        const Status opened = openAltered({block});
        ASSERT_FALSE(opened) << "block " << block;
        EXPECT_EQ(opened.error().toStdString(), damageText(block));
    }
}

TEST_F(LargeEditionCheck, TheFirstDamagedBlockInTheFileIsNamed) {
    const Status opened = openAltered({blockCount() - 2, blockCount() / 2 - 3});
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().toStdString(), damageText(blockCount() / 2 - 3));
}
