// A tiny edition of the directory, written by a test for itself: a plain
// SQLite database with the edition's tables, filled row by row, then sealed
// into an edition file.
#pragma once

#include "EditionFormat.h"

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QVariant>

#include <string>

struct sqlite3;

// The header of a fresh edition of `blocks` blocks of `blockSize` bytes,
// with a salt of its own.
EditionHeader FreshEditionHeader(std::uint32_t blockSize, std::uint64_t blocks);

struct TinyFirm {
    int id = 0;
    QString name;
    int place = 0;
    bool showAlways = false;
    bool selectedFont = false;
    QString phones;
    QString email;
    QString web;
    QByteArray image;   // null when empty
    QString imageName;
    QByteArray article; // null when empty
    QString note;
};

struct TinyAddress {
    int id = 0;
    int objectId = 0;
    int firmId = 0;
    QString office;
    QString phones;
    bool isBanner = false;
};

class TinyEdition {
public:
    // Creates the plain database at `plainPath` with the edition's tables.
    explicit TinyEdition(const std::string& plainPath);
    ~TinyEdition();
    TinyEdition(const TinyEdition&) = delete;
    TinyEdition& operator=(const TinyEdition&) = delete;

    void addFolder(int id, int parentId, const QString& name);
    void addFirm(const TinyFirm& firm);
    void linkFirm(int firmId, int folderId);
    void addAddress(const TinyAddress& address);
    // A content item; a null QByteArray stores a null Data.
    void addContent(int typeId, const QByteArray& data, int refId = 0);
    void addText(int typeId, const QString& text) { addContent(typeId, text.toUtf8()); }
    void addPostIndex(int id, const QString& postIndex);
    void addPostIndexObject(int objectId, int postIndexId);
    // Any statement, with ?1, ?2 ... bound to `values`.
    void exec(const QString& sql, const QVariantList& values = {});

    // Seals the database into `sealedPath` with edition `edition`'s password
    // (or with `password`); the builder stays usable for more rows.
    void sealAs(const std::string& sealedPath, int edition);
    void sealWithPassword(const std::string& sealedPath, const std::string& password);

    const std::string& plainPath() const { return plainPath_; }

private:
    std::string plainPath_;
    sqlite3* db_ = nullptr;
};

// The current folder moved to `path` for the lifetime of the object (the
// program opens editions by bare name from the current folder).
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    QString previous_;
};

// A JPEG picture of one colour, as banners and logos are stored in an edition.
QByteArray jpegOf(QColor colour, QSize size = {40, 30});
