// Named pictures that IMG tags of the HTML list boxes refer to.
#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>

class TPictureContainer : public QObject {
    Q_OBJECT
public:
    explicit TPictureContainer(QObject* parent = nullptr);

    bool Contains(const QString& name) const;
    void Add(const QString& name, const QPixmap& picture);
    QPixmap Find(const QString& name) const;

private:
    QHash<QString, QPixmap> pictures_;
};
