// One mail message as the program writes it: plain-text lines in UTF-8, a
// sender with a display name, one recipient, one blind copy that travels in
// the envelope only, and optional file attachments. Compose() gives the
// finished text for the SMTP DATA phase.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

struct TMailAttachment {
    QString FileName;   // the name the reader sees, without folders
    QString ContentType;
    QByteArray Data;
};

class TMailMessage {
public:
    // Lines of the body in order; a line may itself hold CR LF line breaks.
    QStringList Body;
    QString FromName = QStringLiteral("Varindel");
    QString FromAddress;
    QString Recipient;
    QString BlindCopy;
    QString Subject;
    QDateTime Date = QDateTime::currentDateTime();
    std::vector<TMailAttachment> Attachments;

    // Adds a file as an attachment; false when it cannot be read.
    bool AttachFile(const QString& path, const QString& contentType);

    // The addresses the server must deliver to: the recipient, then the blind copy.
    QStringList EnvelopeRecipients() const;
    // The body lines joined by CR LF, every memo line break made CR LF too.
    QString BodyText() const;
    // The message in RFC 5322 / MIME form, lines ending in CR LF.
    QByteArray Compose() const;
};

// A header text as RFC 2047 encoded words (UTF-8, base64) when it holds
// anything but printable ASCII; plain ASCII stays as it is. Line breaks
// become blanks here and in the display name below: a header is one line.
QByteArray EncodeHeaderText(const QString& text);
// "Display name" <address>, the name quoted or encoded as needed.
QByteArray FormatMailbox(const QString& displayName, const QString& address);
// A line's breaks (LF, CR or CR LF) all become CR LF.
QString WithCrLf(const QString& text);
