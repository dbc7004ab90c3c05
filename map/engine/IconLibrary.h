// Icons for labels, stops and road signs: named images grouped under a
// library name ("ICONS.LIB" holding "OK.BMP", ...). Names are found without
// regard to case. A library travels as one blob of our own format (see
// IconLibraryFile.fbs), which is checked fully before anything is taken in.
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QIODevice>
#include <QString>
#include <QStringList>

// The longest library name a map object or a library file may carry.
inline constexpr int kLongestLibraryName = 30;

class IconLibrary {
public:
    // Adds the library in the stream; icons of a library already present are
    // added to it, replacing those of the same name. A damaged blob changes
    // nothing and gives the reason.
    Status AddLibFromStream(QIODevice& stream);
    Status addLibrary(const QByteArray& blob);

    void addIcon(const QString& libName, const QString& iconName, const QImage& image);
    // The icon, or nullptr. The pointer stays valid until the library changes.
    const QImage* find(const QString& libName, const QString& iconName) const;
    QStringList libraries() const;
    QStringList iconNames(const QString& libName) const;
    void clear() { libraries_.clear(); }

    // One library as a blob AddLibFromStream reads back; empty when absent.
    QByteArray save(const QString& libName) const;

private:
    struct Entry {
        QString name; // as given, for saving
        QImage image;
    };
    struct Library {
        QString name;
        QHash<QString, Entry> icons; // by upper-case name
    };
    QHash<QString, Library> libraries_; // by upper-case name
};
