#include "ReadBack.h"

#include "SaveFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kTestFolder = QStringLiteral(VARINDEL_TEST_DATA_DIR "/../exports/");

} // namespace

QString WrittenFile(const TemporaryFolder& folder, const char* name, const QByteArray& bytes)
{
    QString path = QString::fromStdString(folder.file(name));
    EXPECT_TRUE(WriteWholeFile(path, bytes).ok());
    return path;
}

QJsonValue ReadBack(const QString& mode, const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {kTestFolder + QStringLiteral("read_back.py"), mode, path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "read_back.py " << mode.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(reader.readAllStandardOutput(), &error);
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << error.errorString().toStdString();
        return {};
    }
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

QString SchemaComplaints(const QString& schemaName, const QString& path)
{
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"), kTestFolder + schemaName, path});
    if (!lint.waitForFinished(60000))
        return QStringLiteral("xmllint did not finish");
    if (lint.exitCode() == 0)
        return {};
    return QString::fromUtf8(lint.readAllStandardError());
}
