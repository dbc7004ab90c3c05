#include "MailMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kBase64LineLength = 76;
// An encoded word may be 75 characters; "=?UTF-8?B?" and "?=" take 12, so the
// base64 part may hold 63 characters, which is 45 bytes of text at most.
constexpr int kEncodedWordBytes = 45;

bool IsPlainHeaderText(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() < 32 || c.unicode() > 126)
            return false;
    return true;
}

// Splits UTF-8 text into pieces of at most `limit` bytes without cutting a character in two.
QList<QByteArray> SplitUtf8(const QByteArray& utf8, qsizetype limit)
{
    QList<QByteArray> pieces;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min(start + limit, utf8.size());
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        pieces.append(utf8.mid(start, end - start));
        start = end;
    }
    return pieces;
}

QByteArray Base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    for (int at = 0; at < encoded.size(); at += kBase64LineLength)
        lines += encoded.mid(at, kBase64LineLength) + "\r\n";
    return lines;
}

QByteArray Rfc5322Date(const QDateTime& moment)
{
    const int offsetMinutes = moment.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offsetMinutes < 0 ? '-' : '+')
                             .arg(std::abs(offsetMinutes) / 60, 2, 10, QChar('0'))
                             .arg(std::abs(offsetMinutes) % 60, 2, 10, QChar('0'));
    return QLocale::c().toString(moment, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() + zone.toLatin1();
}

QByteArray RandomToken()
{
    return QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
           QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36);
}

QByteArray DomainOf(const QString& address)
{
    const qsizetype at = address.lastIndexOf('@');
    return at < 0 ? QByteArray("varindel.local") : address.mid(at + 1).toLatin1();
}

QByteArray TextPart(const QString& text)
{
    return "Content-Type: text/plain; charset=UTF-8\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           Base64Lines(text.toUtf8());
}

QByteArray AttachmentPart(const TMailAttachment& attachment)
{
    const QByteArray name = EncodeHeaderText(attachment.FileName);
    const QByteArray quoted = IsPlainHeaderText(attachment.FileName) ? "\"" + name + "\"" : name;
    return "Content-Type: " + attachment.ContentType.toLatin1() + "; name=" + quoted +
           "\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=" +
           quoted + "\r\n\r\n" + Base64Lines(attachment.Data);
}

// A header is one line: line breaks in its text become blanks, so that no
// reader takes what follows them for a header of its own.
QString OneLine(const QString& text)
{
    QString line = text;
    return line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace('\r', ' ').replace('\n', ' ');
}

} // namespace

QString WithCrLf(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
    return normal.replace('\n', QStringLiteral("\r\n"));
}

QByteArray EncodeHeaderText(const QString& headerText)
{
    const QString text = OneLine(headerText);
    if (IsPlainHeaderText(text))
        return text.toLatin1();
    QByteArrayList words;
    for (const QByteArray& piece : SplitUtf8(text.toUtf8(), kEncodedWordBytes))
        words.append("=?UTF-8?B?" + piece.toBase64() + "?=");
    return words.join("\r\n ");
}

QByteArray FormatMailbox(const QString& displayName, const QString& address)
{
    const QString shown = OneLine(displayName);
    if (shown.isEmpty())
        return "<" + address.toLatin1() + ">";
    QString escaped = shown;
    escaped.replace('\\', QStringLiteral("\\\\")).replace('"', QStringLiteral("\\\""));
    const QByteArray name = IsPlainHeaderText(shown) ? "\"" + escaped.toLatin1() + "\"" : EncodeHeaderText(shown);
    return name + " <" + address.toLatin1() + ">";
}

bool TMailMessage::AttachFile(const QString& path, const QString& contentType)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Attachments.push_back({QFileInfo(path).fileName(), contentType, file.readAll()});
    return true;
}

QStringList TMailMessage::EnvelopeRecipients() const
{
    QStringList recipients{Recipient};
    if (!BlindCopy.isEmpty())
        recipients.append(BlindCopy);
    return recipients;
}

QString TMailMessage::BodyText() const
{
    QStringList lines;
    for (const QString& line : Body)
        lines.append(WithCrLf(line));
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QByteArray TMailMessage::Compose() const
{
    QByteArray text;
    text += "From: " + FormatMailbox(FromName, FromAddress) + "\r\n";
    text += "To: <" + Recipient.toLatin1() + ">\r\n";
    text += "Subject: " + EncodeHeaderText(Subject) + "\r\n";
    text += "Date: " + Rfc5322Date(Date) + "\r\n";
    text += "Message-ID: <" + RandomToken() + "@" + DomainOf(FromAddress) + ">\r\n";
    text += "MIME-Version: 1.0\r\n";
    if (Attachments.empty())
        return text + TextPart(BodyText());

    const QByteArray boundary = "=_varindel_" + RandomToken();
    text += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    text += "--" + boundary + "\r\n" + TextPart(BodyText());
    for (const TMailAttachment& attachment : Attachments)
        text += "--" + boundary + "\r\n" + AttachmentPart(attachment);
    return text + "--" + boundary + "--\r\n";
}
