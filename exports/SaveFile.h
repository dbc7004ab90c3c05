// Writing an exported file whole or not at all.
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

// Written beside the target under a temporary name and renamed over it only
// when complete: a failure says why and leaves the target as it was.
Status WriteWholeFile(const QString& path, const QByteArray& bytes);
