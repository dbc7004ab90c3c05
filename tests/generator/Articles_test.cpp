// Articles are MIME web archives a browser opens: a multipart/related
// message whose HTML part names the firm and shows a picture the archive
// carries under the location the page refers to.
#include "Articles.h"
#include "Directory.h"
#include "DirectoryMedia.h"
#include "EditionGenerator.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace {

struct MimePart {
    std::map<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;                          // decoded
};

std::map<QByteArray, QByteArray> parseHeaders(const QByteArray& block)
{
    std::map<QByteArray, QByteArray> headers;
    QByteArray unfolded = block;
    unfolded.replace("\r\n\t", " ").replace("\r\n ", " ");
    for (const QByteArray& line : unfolded.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        const qsizetype colon = trimmed.indexOf(':');
        if (colon > 0)
            headers[trimmed.left(colon).toLower()] = trimmed.mid(colon + 1).trimmed();
    }
    return headers;
}

// Splits a multipart message at its boundary; fails the test on a malformed one.
std::vector<MimePart> parseMultipart(const QByteArray& message, std::map<QByteArray, QByteArray>& topHeaders)
{
    const qsizetype headerEnd = message.indexOf("\r\n\r\n");
    EXPECT_GT(headerEnd, 0);
    topHeaders = parseHeaders(message.left(headerEnd));
    const QRegularExpressionMatch boundary =
        QRegularExpression(QStringLiteral("boundary=\"([^\"]+)\"")).match(QString::fromLatin1(topHeaders["content-type"]));
    EXPECT_TRUE(boundary.hasMatch());
    const QByteArray delimiter = "--" + boundary.captured(1).toLatin1();
    EXPECT_TRUE(message.contains(delimiter + "--")) << "closing delimiter";
    std::vector<MimePart> parts;
    qsizetype at = message.indexOf(delimiter + "\r\n");
    while (at >= 0) {
        const qsizetype start = at + delimiter.size() + 2;
        const qsizetype next = message.indexOf("\r\n" + delimiter, start);
        if (next < 0)
            break;
        const QByteArray raw = message.mid(start, next - start);
        const qsizetype split = raw.indexOf("\r\n\r\n");
        MimePart part;
        part.headers = parseHeaders(raw.left(split));
        const QByteArray encoded = raw.mid(split + 4);
        EXPECT_EQ(part.headers["content-transfer-encoding"], "base64");
        part.body = QByteArray::fromBase64(QByteArray(encoded).replace("\r\n", ""), QByteArray::AbortOnBase64DecodingErrors);
        EXPECT_FALSE(part.body.isEmpty());
        parts.push_back(part);
        at = message.indexOf(delimiter + "\r\n", next + 2);
    }
    return parts;
}

} // namespace

TEST(Articles, WebArchiveHoldsThePageAndItsPictureAtTheirLocations)
{
    Prng random(4);
    const ArticleFacts facts{QStringLiteral("Аптека «Вектор»"), QStringLiteral("Вектор"), QStringLiteral("Аптеки"),
                             {QStringLiteral("улица Ленина, 12")}, QStringLiteral("23-45-67"), QString(), QString()};
    const QString html = ArticleHtml(facts, random);
    QImage picture(480, 270, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
    }
    std::map<QByteArray, QByteArray> top;
    const std::vector<MimePart> parts = parseMultipart(WebArchive(facts.firmName, html, jpeg), top);
    EXPECT_EQ(top["mime-version"], "1.0");
    EXPECT_TRUE(top["content-type"].startsWith("multipart/related"));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_TRUE(parts[0].headers.at("content-type").startsWith("text/html"));
    EXPECT_EQ(parts[0].headers.at("content-location"), kArticlePageLocation);
    const QString page = QString::fromUtf8(parts[0].body);
    EXPECT_TRUE(page.contains(QStringLiteral("Аптека «Вектор»").toHtmlEscaped()));
    EXPECT_TRUE(page.contains(QStringLiteral("улица Ленина, 12")));
    EXPECT_TRUE(page.contains(QStringLiteral("src=\"picture.jpg\"")));
    EXPECT_EQ(parts[1].headers.at("content-type"), "image/jpeg");
    EXPECT_EQ(parts[1].headers.at("content-location"), kArticlePictureLocation);
    EXPECT_EQ(parts[1].body, jpeg);
}

TEST(Articles, GeneratedArticlesNameTheirFirm)
{
    const EditionData data = GenerateEditionData({2, 3, 0.05});
    int articles = 0;
    for (const FirmRecord& firm : data.directory.firms) {
        if (firm.article.isEmpty())
            continue;
        ++articles;
        std::map<QByteArray, QByteArray> top;
        const std::vector<MimePart> parts = parseMultipart(firm.article, top);
        ASSERT_EQ(parts.size(), 2u);
        EXPECT_TRUE(QString::fromUtf8(parts[0].body).contains(firm.name.toHtmlEscaped())) << firm.name.toStdString();
        EXPECT_FALSE(QImage::fromData(parts[1].body, "JPEG").isNull());
    }
    EXPECT_GE(articles, 24);
}
