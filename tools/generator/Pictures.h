// The pictures of an edition, drawn with QPainter: firm logos, advertising
// banners in the sizes of their slots, the pictures of articles, and the
// icons of the map's icon library. Drawing needs a QGuiApplication (fonts).
#pragma once

#include "Prng.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// What an advert says about a firm.
struct AdvertFacts {
    QString name;     // the firm's full name
    QString brand;    // the name in large letters
    QString category; // what it does
    QString phone;
    QString address;
    QString slogan;
};

struct EncodedPicture {
    QByteArray bytes;
    QString suffix; // ".bmp", ".png", ".jpg"
};

// A logo of 120 by 48 pixels in one of the formats the firm list shows,
// chosen by the random draw.
EncodedPicture DrawLogo(const QString& brand, const QString& kind, Prng& random);

// A JPEG advert of exactly the given size.
QByteArray DrawBanner(QSize size, const AdvertFacts& facts, Prng& random);

// The picture of an article: the firm's shop front with its sign, a JPEG.
QByteArray DrawArticlePicture(const AdvertFacts& facts, Prng& random);

// The icon of the icon library of that name (24 by 24, transparent around).
QImage DrawIcon(const QString& iconName);
// Every icon name the map of an edition uses, the label icon "OK.BMP" among them.
QStringList IconNames();
