#include "EditionSeal.h"

#include "EditionFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sqlite3.h>

#include <vector>

namespace {

QString faultText(const EditionFaultReport& fault, const QString& path)
{
    return QString::fromStdString(EditionFaultText(fault.fault, path.toStdString(), fault.detail));
}

// What SQLite says about the plain database: its page size, or why it cannot be sealed.
Result<std::uint32_t> checkPlainDatabase(const QString& plainPath)
{
    if (!QFileInfo::exists(plainPath))
        return Result<std::uint32_t>::failure(QString("Файл «%1» не найден.").arg(plainPath));
    sqlite3* db = nullptr;
    const QByteArray uri = "file:" + QFileInfo(plainPath).absoluteFilePath().toUtf8().toPercentEncoding("/") + "?mode=ro";
    int rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    QString problem;
    std::uint32_t pageSize = 0;
    auto single = [&](const char* sql) -> QString {
        sqlite3_stmt* statement = nullptr;
        QString value;
        rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return value;
    };
    if (rc == SQLITE_OK) {
        const QString check = single("PRAGMA quick_check");
        if (check != "ok")
            problem = rc == SQLITE_ROW ? check : QString::fromUtf8(sqlite3_errmsg(db));
        else if (single("PRAGMA journal_mode").compare("wal", Qt::CaseInsensitive) == 0)
            problem = "база в режиме журнала WAL; переведите её в PRAGMA journal_mode=DELETE";
        else
            pageSize = single("PRAGMA page_size").toUInt();
    } else {
        problem = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    if (!problem.isEmpty())
        return Result<std::uint32_t>::failure(QString("Файл «%1» нельзя запечатать: %2").arg(plainPath, problem));
    return pageSize;
}

Status writeFailure(const QString& path, const QString& reason)
{
    return Status::failure(QString("Не удалось записать файл «%1»: %2").arg(path, reason));
}

// An edition file opened for reading block by block.
struct SealedReader {
    QFile file;
    EditionOpening opening;

    Status open(const QString& path, const std::string& password)
    {
        file.setFileName(path);
        if (!file.exists())
            return Status::failure(faultText({EditionFault::Missing, 0}, path));
        if (!file.open(QIODevice::ReadOnly))
            return Status::failure(faultText({EditionFault::Unreadable, 0}, path));
        const QByteArray head = file.read(kEditionHeaderSize);
        opening = OpenEditionHeader(reinterpret_cast<const unsigned char*>(head.constData()),
                                    static_cast<std::uint64_t>(file.size()), password);
        if (!opening.fault.ok())
            return Status::failure(faultText(opening.fault, path));
        return success();
    }

    // Calls `take` with every opened block in order; stops at the first failure.
    template <typename Take>
    Status eachBlock(Take take)
    {
        const EditionHeader& header = opening.cipher->header();
        std::vector<unsigned char> sealed(header.sealedBlockSize());
        std::vector<unsigned char> plain(header.blockSize);
        for (std::uint64_t block = 0; block < header.blockCount(); ++block) {
            const qint64 got = file.read(reinterpret_cast<char*>(sealed.data()), static_cast<qint64>(sealed.size()));
            if (got != static_cast<qint64>(sealed.size()))
                return Status::failure(faultText({EditionFault::Truncated, 0}, file.fileName()));
            if (!opening.cipher->openBlock(block, sealed.data(), plain.data()))
                return Status::failure(faultText({EditionFault::DamagedBlock, block}, file.fileName()));
            Status taken = take(plain);
            if (!taken)
                return taken;
        }
        return success();
    }
};

} // namespace

Status SealEditionFile(const QString& plainPath, const QString& sealedPath, const std::string& password)
{
    const Result<std::uint32_t> pageSize = checkPlainDatabase(plainPath);
    if (!pageSize)
        return Status::failure(pageSize.error());
    QFile plain(plainPath);
    if (!plain.open(QIODevice::ReadOnly))
        return Status::failure(QString("Не удалось прочитать файл «%1».").arg(plainPath));
    EditionHeader header;
    header.blockSize = pageSize.value();
    header.plainSize = static_cast<std::uint64_t>(plain.size());
    header.salt = NewEditionSalt();
    if (header.plainSize == 0 || header.plainSize % header.blockSize != 0)
        return Status::failure(QString("Файл «%1» нельзя запечатать: его длина не кратна странице.").arg(plainPath));
    const EditionCipher cipher(password, header);

    QSaveFile out(sealedPath);
    if (!out.open(QIODevice::WriteOnly))
        return writeFailure(sealedPath, out.errorString());
    const auto head = cipher.sealHeader();
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<qint64>(head.size()));
    std::vector<unsigned char> page(header.blockSize);
    std::vector<unsigned char> sealed(header.sealedBlockSize());
    for (std::uint64_t block = 0; block < header.blockCount(); ++block) {
        if (plain.read(reinterpret_cast<char*>(page.data()), header.blockSize) != header.blockSize)
            return Status::failure(QString("Не удалось прочитать файл «%1».").arg(plainPath));
        cipher.sealBlock(block, page.data(), sealed.data());
        out.write(reinterpret_cast<const char*>(sealed.data()), static_cast<qint64>(sealed.size()));
    }
    if (!out.commit())
        return writeFailure(sealedPath, out.errorString());
    return success();
}

Status UnsealEditionFile(const QString& sealedPath, const QString& plainPath, const std::string& password)
{
    SealedReader reader;
    Status opened = reader.open(sealedPath, password);
    if (!opened)
        return opened;
    QSaveFile out(plainPath);
    if (!out.open(QIODevice::WriteOnly))
        return writeFailure(plainPath, out.errorString());
    Status copied = reader.eachBlock([&](const std::vector<unsigned char>& plain) {
        out.write(reinterpret_cast<const char*>(plain.data()), static_cast<qint64>(plain.size()));
        return success();
    });
    if (!copied)
        return copied;
    if (!out.commit())
        return writeFailure(plainPath, out.errorString());
    return success();
}

Status VerifyEditionBlocks(const QString& sealedPath, const std::string& password)
{
    SealedReader reader;
    Status opened = reader.open(sealedPath, password);
    if (!opened)
        return opened;
    return reader.eachBlock([](const std::vector<unsigned char>&) { return success(); });
}
