#include "TinyEdition.h"

#include "EditionSchema.h"
#include "EditionSeal.h"
#include "Vdlconsts.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <sqlite3.h>

#include <stdexcept>

namespace {

QVariant blobOrNull(const QByteArray& bytes)
{
    return bytes.isNull() ? QVariant() : QVariant(bytes);
}

QVariant textOrNull(const QString& text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

TinyEdition::TinyEdition(const std::string& plainPath) : plainPath_(plainPath)
{
    QFile::remove(QString::fromStdString(plainPath));
    if (sqlite3_open(plainPath.c_str(), &db_) != SQLITE_OK)
        throw std::runtime_error("cannot create " + plainPath);
    // A test's database needs no protection against power loss.
    exec("PRAGMA journal_mode = MEMORY");
    exec("PRAGMA synchronous = OFF");
    if (const QString error = CreateEditionSchema(db_); !error.isEmpty())
        throw std::runtime_error("TinyEdition: " + error.toStdString());
}

TinyEdition::~TinyEdition()
{
    sqlite3_close(db_);
}

void TinyEdition::exec(const QString& sql, const QVariantList& values)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("TinyEdition: ") + sqlite3_errmsg(db_));
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values[i];
        if (value.isNull())
            sqlite3_bind_null(statement, i + 1);
        else if (value.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(statement, i + 1, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        } else if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        } else
            sqlite3_bind_int64(statement, i + 1, value.toLongLong());
    }
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string("TinyEdition: ") + sqlite3_errmsg(db_));
}

void TinyEdition::addFolder(int id, int parentId, const QString& name)
{
    exec("INSERT INTO FIRMS (ID, ParentID, TypeID, Name, ShowAlways, SelectedFont, Place) VALUES (?1, ?2, 1, ?3, 0, 0, 0)",
         {id, parentId, name});
}

void TinyEdition::addFirm(const TinyFirm& firm)
{
    exec("INSERT INTO FIRMS (ID, ParentID, TypeID, Name, Image, ImageName, Phones, Email, Web, Note, article, "
         "ShowAlways, SelectedFont, Place) VALUES (?1, 0, 2, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)",
         {firm.id, firm.name, blobOrNull(firm.image), textOrNull(firm.imageName), textOrNull(firm.phones),
          textOrNull(firm.email), textOrNull(firm.web), textOrNull(firm.note), blobOrNull(firm.article),
          int(firm.showAlways), int(firm.selectedFont), firm.place});
}

void TinyEdition::linkFirm(int firmId, int folderId)
{
    exec("INSERT INTO FirmsFold (FirmID, FoldID) VALUES (?1, ?2)", {firmId, folderId});
}

void TinyEdition::addAddress(const TinyAddress& address)
{
    exec("INSERT INTO FirmsAdr (ID, Obj_ID, Firm_ID, Office, Phones, IsBanner) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
         {address.id, address.objectId, address.firmId, textOrNull(address.office), textOrNull(address.phones),
          int(address.isBanner)});
}

void TinyEdition::addContent(int typeId, const QByteArray& data, int refId)
{
    exec("INSERT INTO Content (ID, TypeID, RefID, Data) VALUES ((SELECT count(*) + 1 FROM Content), ?1, ?2, ?3)",
         {typeId, refId, blobOrNull(data)});
}

void TinyEdition::addPostIndex(int id, const QString& postIndex)
{
    exec("INSERT INTO PostIdx (ID, PostIndex) VALUES (?1, ?2)", {id, postIndex});
}

void TinyEdition::addPostIndexObject(int objectId, int postIndexId)
{
    exec("INSERT INTO PostIdxObj (ObjID, PostIdxID) VALUES (?1, ?2)", {objectId, postIndexId});
}

void TinyEdition::sealAs(const std::string& sealedPath, int edition)
{
    sealWithPassword(sealedPath, MapPw[edition]);
}

void TinyEdition::sealWithPassword(const std::string& sealedPath, const std::string& password)
{
    const Status sealed =
        SealEditionFile(QString::fromStdString(plainPath_), QString::fromStdString(sealedPath), password);
    if (!sealed)
        throw std::runtime_error(sealed.error().toStdString());
}

CurrentFolder::CurrentFolder(const std::string& path) : previous_(QDir::currentPath())
{
    QDir::setCurrent(QString::fromStdString(path));
}

CurrentFolder::~CurrentFolder()
{
    QDir::setCurrent(previous_);
}

QByteArray jpegOf(QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

EditionHeader FreshEditionHeader(std::uint32_t blockSize, std::uint64_t blocks)
{
    EditionHeader header;
    header.blockSize = blockSize;
    header.plainSize = blockSize * blocks;
    header.salt = NewEditionSalt();
    return header;
}
