// Icons the imported maps need beyond the standard library's: the tram stop
// and the stop sign, drawn in the same 24 by 24 manner.
#pragma once

#include <QImage>
#include <QStringList>

QStringList OsmIconNames();
QImage DrawOsmIcon(const QString& name);
