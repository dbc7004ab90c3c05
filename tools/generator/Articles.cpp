#include "Articles.h"

namespace {

const QByteArray kBoundary = "----=_NextPart_Varindel_Article";

// Base64 in lines of 76 characters, as MIME asks.
QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    for (qsizetype offset = 0; offset < encoded.size(); offset += 76)
        lines += encoded.mid(offset, 76) + "\r\n";
    return lines;
}

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

const char* const kOpenings[] = {
    "%1 — одна из известных в городе компаний в сфере «%2».",
    "Уже много лет %1 работает для жителей города и предлагает услуги в сфере «%2».",
    "Компания %1 знакома горожанам как надёжный партнёр в сфере «%2».",
};
const char* const kMiddles[] = {
    "Опытные специалисты, современное оборудование и внимательное отношение к каждому клиенту — вот что отличает нас.",
    "Мы ценим время наших клиентов: заказы выполняются в срок, а цены остаются доступными.",
    "Для постоянных клиентов действует гибкая система скидок, а консультации всегда бесплатны.",
};

} // namespace

QString ArticleHtml(const ArticleFacts& facts, Prng& random)
{
    QString body;
    body += QStringLiteral("<h1>") + escaped(facts.firmName) + QStringLiteral("</h1>\n");
    body += QStringLiteral("<p><img src=\"picture.jpg\" width=\"480\" height=\"270\" alt=\"") + escaped(facts.brand) +
            QStringLiteral("\"></p>\n");
    body += QStringLiteral("<p>") +
            escaped(QString::fromUtf8(random.pick(kOpenings)).arg(facts.firmName, facts.category)) +
            QStringLiteral("</p>\n");
    body += QStringLiteral("<p>") + escaped(QString::fromUtf8(random.pick(kMiddles))) + QStringLiteral("</p>\n");
    body += QStringLiteral("<h2>Как нас найти</h2>\n<ul>\n");
    for (const QString& address : facts.addresses)
        body += QStringLiteral("<li>") + escaped(address) + QStringLiteral("</li>\n");
    body += QStringLiteral("</ul>\n<p>Телефоны: ") + escaped(facts.phones) + QStringLiteral("</p>\n");
    if (!facts.web.isEmpty())
        body += QStringLiteral("<p>Сайт: <a href=\"http://") + escaped(facts.web) + QStringLiteral("\">") +
                escaped(facts.web) + QStringLiteral("</a></p>\n");
    if (!facts.email.isEmpty())
        body += QStringLiteral("<p>E-mail: <a href=\"mailto:") + escaped(facts.email) + QStringLiteral("\">") +
                escaped(facts.email) + QStringLiteral("</a></p>\n");
    return QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>") +
           escaped(facts.firmName) +
           QStringLiteral("</title>\n<style>body{font-family:sans-serif;margin:16px;color:#222}"
                          "h1{color:#1a4f8b}</style>\n</head>\n<body>\n") +
           body + QStringLiteral("</body>\n</html>\n");
}

QByteArray WebArchive(const QString& title, const QString& html, const QByteArray& jpegPicture)
{
    QByteArray archive;
    archive += "From: <Varindel>\r\n";
    archive += "Subject: =?utf-8?B?" + title.toUtf8().toBase64() + "?=\r\n";
    archive += "MIME-Version: 1.0\r\n";
    archive += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + kBoundary + "\"\r\n";
    archive += "\r\nThis is a multi-part message in MIME format.\r\n\r\n";
    archive += "--" + kBoundary + "\r\n";
    archive += "Content-Type: text/html; charset=\"utf-8\"\r\n";
    archive += "Content-Transfer-Encoding: base64\r\n";
    archive += QByteArray("Content-Location: ") + kArticlePageLocation + "\r\n\r\n";
    archive += base64Lines(html.toUtf8());
    archive += "\r\n--" + kBoundary + "\r\n";
    archive += "Content-Type: image/jpeg\r\n";
    archive += "Content-Transfer-Encoding: base64\r\n";
    archive += QByteArray("Content-Location: ") + kArticlePictureLocation + "\r\n\r\n";
    archive += base64Lines(jpegPicture);
    archive += "\r\n--" + kBoundary + "--\r\n";
    return archive;
}
