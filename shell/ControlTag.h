// A general-purpose integer on any control, in the manner of the Tag every
// control of the directory's windows carries (a page keeps its height in it,
// the panel button its state).
#pragma once

#include <QObject>
#include <QVariant>

inline int Tag(const QObject* control) {
    return control->property("Tag").toInt();
}

inline void SetTag(QObject* control, int value) {
    control->setProperty("Tag", value);
}
