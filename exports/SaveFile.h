// Writing an exported file whole or not at all.
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// Written beside the target under a temporary name and renamed over it only
// when complete: a failure says why and leaves the target as it was.
Status WriteWholeFile(const QString& path, const QByteArray& bytes);

// The same for content that `write` puts into the device; it returns false
// when it could not write it all.
Status WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write);
