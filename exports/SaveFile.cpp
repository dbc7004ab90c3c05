#include "SaveFile.h"

#include <QDir>
#include <QSaveFile>

Status WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    return WriteWholeFile(path, [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

Status WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    const auto failed = [&path, &file] {
        return Status::failure(QStringLiteral("Не удалось записать файл «%1»: %2.")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    if (!write(file)) {
        file.cancelWriting();
        return failed();
    }
    if (!file.commit())
        return failed();
    return success();
}
