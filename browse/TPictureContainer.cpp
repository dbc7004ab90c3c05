#include "TPictureContainer.h"

#include "Vdlconsts.h"

#include <QImage>

TPictureContainer::TPictureContainer(QObject* parent) : QObject(parent) {}

bool TPictureContainer::Contains(const QString& name) const {
    return pictures_.contains(name);
}

int TPictureContainer::Add(const QString& name, const QPixmap& picture) {
    if (!pictures_.contains(name))
        names_.append(name);
    pictures_.insert(name, picture);
    emit changed();
    return int(names_.indexOf(name));
}

bool TPictureContainer::AddFromData(const QString& name, const QByteArray& data) {
    QImage image;
    if (!image.loadFromData(data))
        return false;
    Add(name, QPixmap::fromImage(image));
    return true;
}

QPixmap TPictureContainer::Find(const QString& name) const {
    return pictures_.value(name);
}

void LoadListPictures(TPictureContainer& container) {
    for (const char* name : LoadPics)
        container.Add(QString::fromLatin1(name),
                      QPixmap(QStringLiteral(":/listicons/") + QString::fromLatin1(name), "PNG"));
}
