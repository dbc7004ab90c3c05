#include "MhtArchive.h"

#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>
#include <map>

namespace {

using Headers = std::map<QString, QString>; // by lower-case name

struct Entity {
    Headers headers;
    QByteArray body;
};

// Splits a MIME entity at its first empty line; folded header lines are joined.
Entity SplitEntity(const QByteArray& text) {
    Entity entity;
    qsizetype end = text.indexOf("\r\n\r\n");
    qsizetype bodyStart = end + 4;
    const qsizetype bareEnd = text.indexOf("\n\n");
    if (end < 0 || (bareEnd >= 0 && bareEnd < end)) {
        end = bareEnd;
        bodyStart = bareEnd + 2;
    }
    if (end < 0)
        return entity;
    QString lastName;
    for (QByteArray line : text.left(end).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            if (!lastName.isEmpty())
                entity.headers[lastName] += QLatin1Char(' ') + QString::fromUtf8(line.trimmed());
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        lastName = QString::fromLatin1(line.left(colon)).trimmed().toLower();
        entity.headers[lastName] = QString::fromUtf8(line.mid(colon + 1)).trimmed();
    }
    entity.body = text.mid(bodyStart);
    return entity;
}

QString Header(const Headers& headers, const char* name) {
    const auto found = headers.find(QString::fromLatin1(name));
    return found == headers.end() ? QString() : found->second;
}

// "multipart/related; type=\"text/html\"; boundary=\"x\"" -> the value of one parameter.
QString Parameter(const QString& headerValue, const QString& name) {
    const QRegularExpression pattern(QString::fromLatin1(R"re(;\s*%1\s*=\s*(?:"([^"]*)"|([^;\s]+)))re")
                                         .arg(QRegularExpression::escape(name)),
                                     QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(headerValue);
    if (!match.hasMatch())
        return {};
    return match.captured(1).isNull() ? match.captured(2) : match.captured(1);
}

QString MediaType(const QString& headerValue) {
    return headerValue.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
}

QByteArray DecodeQuotedPrintable(const QByteArray& text) {
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            decoded += text[i];
            continue;
        }
        if (text.mid(i + 1, 2) == "\r\n") {
            i += 2;
            continue;
        }
        if (text.mid(i + 1, 1) == "\n") {
            i += 1;
            continue;
        }
        bool ok = false;
        const int value = text.mid(i + 1, 2).toInt(&ok, 16);
        if (ok && i + 2 < text.size()) {
            decoded += char(value);
            i += 2;
        } else {
            decoded += '=';
        }
    }
    return decoded;
}

QByteArray DecodeBody(const QByteArray& body, const QString& transferEncoding) {
    const QString encoding = transferEncoding.trimmed().toLower();
    if (encoding == QLatin1String("base64"))
        return QByteArray::fromBase64(body);
    if (encoding == QLatin1String("quoted-printable"))
        return DecodeQuotedPrintable(body);
    return body;
}

TMhtPart ReadPart(const QByteArray& text) {
    const Entity entity = SplitEntity(text);
    const QString contentType = Header(entity.headers, "content-type");
    TMhtPart part;
    part.contentType = contentType.isEmpty() ? QStringLiteral("text/plain") : MediaType(contentType);
    part.charset = Parameter(contentType, QStringLiteral("charset")).toLower();
    part.location = Header(entity.headers, "content-location");
    part.contentId = Header(entity.headers, "content-id");
    if (part.contentId.startsWith(QLatin1Char('<')) && part.contentId.endsWith(QLatin1Char('>')))
        part.contentId = part.contentId.mid(1, part.contentId.size() - 2);
    part.body = DecodeBody(entity.body, Header(entity.headers, "content-transfer-encoding"));
    return part;
}

QString DecodeText(const QByteArray& bytes, const QString& charset) {
    if (!charset.isEmpty() && charset != QLatin1String("utf-8")) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return QString::fromUtf8(bytes);
}

bool SameLocation(const QString& reference, const QUrl& resolved, const TMhtPart& part) {
    if (reference.startsWith(QLatin1String("cid:"), Qt::CaseInsensitive))
        return !part.contentId.isEmpty() && reference.mid(4) == part.contentId;
    if (part.location.isEmpty())
        return false;
    return reference == part.location || resolved == QUrl(part.location);
}

// "parts/3.jpg": the part's number and the usual suffix of its type, which
// is what tells the browser how to take a local file.
QString PartFileName(const QString& partsFolder, int number, const QString& contentType) {
    const QString suffix = QMimeDatabase().mimeTypeForName(contentType).preferredSuffix();
    return partsFolder + QLatin1Char('/') + QString::number(number) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

} // namespace

Result<TMhtArchive> ParseMhtArchive(const QByteArray& archive) {
    const Entity message = SplitEntity(archive);
    const QString contentType = Header(message.headers, "content-type");
    if (!MediaType(contentType).startsWith(QLatin1String("multipart/")))
        return Result<TMhtArchive>::failure(
            QStringLiteral("Файл не является веб-архивом: нет составного заголовка."));
    const QString boundary = Parameter(contentType, QStringLiteral("boundary"));
    if (boundary.isEmpty())
        return Result<TMhtArchive>::failure(
            QStringLiteral("В заголовке веб-архива не указана граница частей."));

    const QByteArray delimiter = "--" + boundary.toUtf8();
    TMhtArchive result;
    qsizetype position = message.body.indexOf(delimiter);
    while (position >= 0) {
        qsizetype partStart = position + delimiter.size();
        if (message.body.mid(partStart, 2) == "--")
            break;
        partStart = message.body.indexOf('\n', partStart);
        if (partStart < 0)
            break;
        ++partStart;
        const qsizetype next = message.body.indexOf("\n" + delimiter, partStart);
        const qsizetype partEnd = next < 0 ? message.body.size() : next;
        QByteArray partText = message.body.mid(partStart, partEnd - partStart);
        if (partText.endsWith('\r'))
            partText.chop(1);
        result.parts.push_back(ReadPart(partText));
        position = next < 0 ? -1 : next + 1;
    }
    if (result.parts.empty())
        return Result<TMhtArchive>::failure(QStringLiteral("Веб-архив не содержит ни одной части."));
    return result;
}

Result<TMhtPage> UnpackedPage(const TMhtArchive& archive, const QString& partsFolder) {
    const auto page = std::find_if(archive.parts.begin(), archive.parts.end(), [](const TMhtPart& part) {
        return part.contentType == QLatin1String("text/html");
    });
    if (page == archive.parts.end())
        return Result<TMhtPage>::failure(QStringLiteral("В веб-архиве нет HTML-страницы."));

    const QString html = DecodeText(page->body, page->charset);
    const QUrl pageUrl(page->location);
    static const QRegularExpression reference(
        QString::fromLatin1(
            R"re(((?:src|href|background)\s*=\s*)(?:"([^"]*)"|'([^']*)')|(url\(\s*)['"]?([^'")]*)['"]?\s*\))re"),
        QRegularExpression::CaseInsensitiveOption);

    TMhtPage result;
    std::map<const TMhtPart*, QString> fileOfPart;
    QString text;
    qsizetype copied = 0;
    QRegularExpressionMatchIterator matches = reference.globalMatch(html);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const bool inCss = !match.captured(4).isNull();
        const int valueGroup = inCss ? 5 : (match.captured(2).isNull() ? 3 : 2);
        const QString value = match.captured(valueGroup);
        const QUrl resolved = pageUrl.resolved(QUrl(value));
        const auto part =
            std::find_if(archive.parts.begin(), archive.parts.end(), [&](const TMhtPart& candidate) {
                return &candidate != &*page && SameLocation(value, resolved, candidate);
            });
        if (part == archive.parts.end())
            continue;
        auto [named, isNew] = fileOfPart.try_emplace(&*part);
        if (isNew) {
            named->second = PartFileName(partsFolder, int(fileOfPart.size()), part->contentType);
            result.files.push_back({named->second, part->body});
        }
        const QString address = QString::fromLatin1(QUrl::toPercentEncoding(named->second, "/"));
        text += html.mid(copied, match.capturedStart(0) - copied);
        text += inCss ? QStringLiteral("url(") + address + QStringLiteral(")")
                      : match.captured(1) + QLatin1Char('"') + address + QLatin1Char('"');
        copied = match.capturedEnd(0);
    }
    text += html.mid(copied);
    result.html = "\xEF\xBB\xBF" + text.toUtf8();
    return result;
}

bool LooksLikeWebArchive(const QString& fileName, const QByteArray& start) {
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".mht")) || lower.endsWith(QLatin1String(".mhtml")))
        return true;
    static const QRegularExpression multipartHeader(
        QString::fromLatin1(R"(^content-type:\s*multipart/related)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    return multipartHeader.match(QString::fromLatin1(start.left(4096))).hasMatch();
}
