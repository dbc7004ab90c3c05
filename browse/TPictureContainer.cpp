#include "TPictureContainer.h"

TPictureContainer::TPictureContainer(QObject* parent)
    : QObject(parent)
{
}

bool TPictureContainer::Contains(const QString& name) const { return pictures_.contains(name); }

void TPictureContainer::Add(const QString& name, const QPixmap& picture) { pictures_.insert(name, picture); }

QPixmap TPictureContainer::Find(const QString& name) const { return pictures_.value(name); }
