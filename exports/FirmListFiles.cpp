#include "FirmListFiles.h"

#include <QRegularExpression>

namespace {

const QStringList kCsvHeading{
    QStringLiteral("Название"),         QStringLiteral("Рубрики"), QStringLiteral("Телефоны"),
    QStringLiteral("Сайт"),             QStringLiteral("Электронная почта"), QStringLiteral("Улица"),
    QStringLiteral("Дом"),              QStringLiteral("Офис"),    QStringLiteral("Автобус"),
    QStringLiteral("Маршрутное такси"), QStringLiteral("Примечание"),
};

// A spreadsheet takes a cell that starts with "=", "+", "-" or "@" for a
// formula, and a formula can fetch addresses or start programs. Texts of an
// edition, OpenStreetMap's among them, come from people we do not know, so
// such a cell gets an apostrophe in front, the spreadsheets' own mark of a
// text. Signed numbers and phone numbers ("+7 (3812) 12-34-56") hold no
// formula and stay as they are.
bool mightRunAsFormula(const QString& text)
{
    static const QRegularExpression numberLike(QStringLiteral("^[+-][0-9 ()+.,\r\n-]*$"));
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t') ||
        first == QLatin1Char('\r'))
        return true;
    return (first == QLatin1Char('+') || first == QLatin1Char('-')) && !numberLike.match(text).hasMatch();
}

QString csvField(const QString& field)
{
    static const QRegularExpression special(QStringLiteral("[\";\r\n]"));
    QString text = mightRunAsFormula(field) ? QLatin1Char('\'') + field : field;
    if (!text.contains(special))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray csvRow(const QStringList& fields)
{
    QStringList written;
    for (const QString& field : fields)
        written << csvField(field);
    return written.join(QLatin1Char(';')).toUtf8() + "\r\n";
}

QString joinedPhones(const QString& firm, const QString& address)
{
    if (firm.isEmpty() || address.isEmpty())
        return firm + address;
    return firm + QStringLiteral("\r\n") + address;
}

// The address's own bus and minibus routes, else the firm's.
QString routes(const QString& ofAddress, const QString& ofFirm) { return ofAddress.isEmpty() ? ofFirm : ofAddress; }

QByteArray firmRows(const ExportFirm& firm)
{
    const QString categories = firm.categories.join(QStringLiteral(", "));
    if (firm.addresses.empty())
        return csvRow({firm.name, categories, firm.phones, firm.web, firm.email, {}, {}, {}, firm.bus, firm.minibus,
                       firm.note});
    QByteArray rows;
    for (const ExportAddress& address : firm.addresses)
        rows += csvRow({firm.name, categories, joinedPhones(firm.phones, address.phones), firm.web, firm.email,
                        address.street, address.house, address.office, routes(address.bus, firm.bus),
                        routes(address.minibus, firm.minibus), firm.note});
    return rows;
}

// Phones are kept one to a line or separated by commas.
QStringList phoneNumbers(const ExportFirm& firm)
{
    static const QRegularExpression separators(QStringLiteral("[,\r\n]+"));
    QStringList numbers;
    QString all = firm.phones;
    for (const ExportAddress& address : firm.addresses)
        all += QLatin1Char('\n') + address.phones;
    for (const QString& piece : all.split(separators, Qt::SkipEmptyParts)) {
        const QString number = piece.trimmed();
        if (!number.isEmpty() && !numbers.contains(number))
            numbers << number;
    }
    return numbers;
}

QString webAddress(const QString& web)
{
    if (web.contains(QStringLiteral("://")))
        return web;
    return QStringLiteral("http://") + web;
}

void addLine(QByteArray& card, const QString& line) { card += FoldedContentLine(line); }

QByteArray vcardOf(const ExportFirm& firm, const std::optional<GeoReference>& reference)
{
    QByteArray card;
    addLine(card, QStringLiteral("BEGIN:VCARD"));
    addLine(card, QStringLiteral("VERSION:4.0"));
    addLine(card, QStringLiteral("KIND:org"));
    addLine(card, QStringLiteral("FN:") + ContentLineText(firm.name));
    addLine(card, QStringLiteral("ORG:") + ContentLineText(firm.name));
    if (!firm.categories.isEmpty()) {
        QStringList categories;
        for (const QString& category : firm.categories)
            categories << ContentLineText(category);
        addLine(card, QStringLiteral("CATEGORIES:") + categories.join(QLatin1Char(',')));
    }
    for (const QString& number : phoneNumbers(firm))
        addLine(card, QStringLiteral("TEL;VALUE=text:") + ContentLineText(number));
    if (!firm.web.simplified().isEmpty())
        addLine(card, QStringLiteral("URL:") + webAddress(firm.web.simplified()));
    if (!firm.email.trimmed().isEmpty())
        addLine(card, QStringLiteral("EMAIL:") + ContentLineText(firm.email.trimmed()));
    for (const ExportAddress& address : firm.addresses) {
        // Post office box; extended address (the office); street with house; the rest unknown.
        addLine(card, QStringLiteral("ADR;TYPE=work:;%1;%2;;;;")
                          .arg(ContentLineText(address.office),
                               ContentLineText(AddressLine(address.street, address.house))));
        if (reference && address.where) {
            const GeoCoordinate where = reference->toGeo(*address.where);
            addLine(card, QStringLiteral("GEO:geo:%1,%2").arg(DegreesText(where.latitude), DegreesText(where.longitude)));
        }
    }
    if (!firm.note.isEmpty())
        addLine(card, QStringLiteral("NOTE:") + ContentLineText(firm.note));
    addLine(card, QStringLiteral("END:VCARD"));
    return card;
}

} // namespace

QByteArray FirmsCsv(const std::vector<ExportFirm>& firms)
{
    QByteArray table("\xEF\xBB\xBF");
    table += csvRow(kCsvHeading);
    for (const ExportFirm& firm : firms)
        table += firmRows(firm);
    return table;
}

QByteArray FirmsVCard(const std::vector<ExportFirm>& firms, const std::optional<GeoReference>& reference)
{
    QByteArray cards;
    for (const ExportFirm& firm : firms)
        cards += vcardOf(firm, reference);
    return cards;
}

QString ContentLineText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar character = text[index];
        if (character == QLatin1Char('\\') || character == QLatin1Char(',') || character == QLatin1Char(';')) {
            escaped += QLatin1Char('\\');
            escaped += character;
        } else if (character == QLatin1Char('\r')) {
            escaped += QStringLiteral("\\n");
            if (index + 1 < text.size() && text[index + 1] == QLatin1Char('\n'))
                ++index;
        } else if (character == QLatin1Char('\n')) {
            escaped += QStringLiteral("\\n");
        } else {
            escaped += character;
        }
    }
    return escaped;
}

QByteArray FoldedContentLine(const QString& line)
{
    constexpr qsizetype kOctetsPerLine = 75;
    const QByteArray utf8 = line.toUtf8();
    QByteArray folded;
    qsizetype lineOctets = 0;
    for (qsizetype index = 0; index < utf8.size();) {
        // A character's octets: the lead octet and the continuation octets after it.
        qsizetype length = 1;
        while (index + length < utf8.size() && (static_cast<unsigned char>(utf8[index + length]) & 0xC0) == 0x80)
            ++length;
        if (lineOctets + length > kOctetsPerLine) {
            folded += "\r\n ";
            lineOctets = 1;
        }
        folded += utf8.mid(index, length);
        lineOctets += length;
        index += length;
    }
    return folded + "\r\n";
}
