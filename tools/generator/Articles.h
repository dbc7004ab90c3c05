// Advertising articles about firms, in the web-archive form (MHT) that
// browsers open: one MIME multipart/related message holding the article's
// HTML page and its picture, which the page refers to by its location.
#pragma once

#include "Prng.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ArticleFacts {
    QString firmName;
    QString brand;
    QString category;
    QStringList addresses;
    QString phones;
    QString web;
    QString email;
};

// The article text as an HTML page that shows the picture "picture.jpg".
QString ArticleHtml(const ArticleFacts& facts, Prng& random);

// The web archive of a page and its JPEG picture.
QByteArray WebArchive(const QString& title, const QString& html, const QByteArray& jpegPicture);

// Where the archive places its parts; the page refers to the picture relative to it.
inline constexpr const char* kArticlePageLocation = "file:///article.htm";
inline constexpr const char* kArticlePictureLocation = "file:///picture.jpg";
