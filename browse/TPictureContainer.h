// Named pictures that IMG tags of the HTML list boxes refer to, in the
// order they were added. Names are compared exactly (case matters).
#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <vector>

class TPictureContainer : public QObject {
    Q_OBJECT
public:
    explicit TPictureContainer(QObject* parent = nullptr);

    bool Contains(const QString& name) const;
    // Adds a picture, or replaces the one of that name; its position.
    int Add(const QString& name, const QPixmap& picture);
    // Decodes a picture from memory (any format Qt reads: JPEG, PNG, BMP,
    // GIF ...); false, with nothing added, when the bytes are no picture.
    bool AddFromData(const QString& name, const QByteArray& data);
    // The picture of that name; a null pixmap when there is none.
    QPixmap Find(const QString& name) const;

    int Count() const { return int(names_.size()); }
    QString Name(int index) const { return names_.value(index); }
    QPixmap Picture(int index) const { return Find(Name(index)); }

signals:
    void changed();

private:
    QStringList names_;
    QHash<QString, QPixmap> pictures_;
};

// The nine pictures of the firm mark-up under their LoadPics names, from the
// program's resources.
void LoadListPictures(TPictureContainer& container);
