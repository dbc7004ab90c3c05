#include "InstalledLayout.h"

#include <QDir>
#include <QFileInfo>

// VARINDEL_INSTALLED_PACKAGE and VARINDEL_INSTALLED_SHARE, relative to the
// host's folder, come from the install rules (packaging/CMakeLists.txt).

QString PackagePath(const QString& hostFolder)
{
    const QByteArray overridden = qgetenv("VARINDEL_PACKAGE");
    if (!overridden.isEmpty())
        return QString::fromLocal8Bit(overridden);
    const QDir folder(hostFolder);
    QString beside = folder.filePath("libvarindel.so");
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(folder.filePath(VARINDEL_INSTALLED_PACKAGE));
}

void UseDataFolderBeside(const QString& hostFolder)
{
    if (!qEnvironmentVariableIsEmpty("VARINDEL_DATA_DIR"))
        return;
    const QString share = QDir::cleanPath(QDir(hostFolder).filePath(VARINDEL_INSTALLED_SHARE));
    if (QFileInfo(share).isDir())
        qputenv("VARINDEL_DATA_DIR", QFile::encodeName(share));
}
