#include "FirmsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace {

using Rows = Result<std::vector<FirmsFileRow>>;

struct Record {
    int line = 0;
    QStringList fields;
};

// Splits CSV text (RFC 4180: quotes around fields, doubled quotes inside,
// line breaks inside quotes) into records; false with the line of an
// unclosed quote.
bool splitRecords(const QString& text, std::vector<Record>& records, int& badLine)
{
    Record record{1, {}};
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    int quoteLine = 0;
    const auto endRecord = [&] {
        record.fields.append(field);
        if (!(record.fields.size() == 1 && record.fields.front().trimmed().isEmpty()))
            records.push_back(record);
        record = {line + 1, {}};
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteLine = line;
        } else if (c == QLatin1Char(',')) {
            record.fields.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\n')) {
            endRecord();
            ++line;
        } else if (c != QLatin1Char('\r')) {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        badLine = quoteLine;
        return false;
    }
    if (fieldStarted || !record.fields.isEmpty())
        endRecord();
    return true;
}

enum Column { cName, cCategories, cPhones, cWeb, cEmail, cStreet, cHouse, cOffice, cBus, cMinibus, cNote, cLogo };

const QHash<QString, Column>& headerNames()
{
    static const QHash<QString, Column> names{
        {"name", cName},         {"название", cName},       {"categories", cCategories}, {"рубрики", cCategories},
        {"phones", cPhones},     {"телефоны", cPhones},     {"web", cWeb},               {"сайт", cWeb},
        {"email", cEmail},       {"e-mail", cEmail},        {"почта", cEmail},           {"street", cStreet},
        {"улица", cStreet},      {"house", cHouse},         {"дом", cHouse},             {"office", cOffice},
        {"офис", cOffice},       {"bus", cBus},             {"автобус", cBus},           {"minibus", cMinibus},
        {"маршрутка", cMinibus}, {"note", cNote},           {"примечание", cNote},       {"logo", cLogo},
        {"логотип", cLogo},
    };
    return names;
}

QString place(const QString& fileName, int line) { return QStringLiteral("Файл фирм «%1», строка %2: ").arg(fileName).arg(line); }

} // namespace

Rows ParseFirmsFile(const QByteArray& bytes, const QString& fileName, const QString& folder)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return Rows::failure(QStringLiteral("Файл фирм «%1» не в кодировке UTF-8.").arg(fileName));
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    std::vector<Record> records;
    int badLine = 0;
    if (!splitRecords(text, records, badLine))
        return Rows::failure(place(fileName, badLine) + QStringLiteral("кавычки не закрыты."));
    if (records.empty())
        return Rows::failure(QStringLiteral("Файл фирм «%1» пуст: нет даже строки заголовка.").arg(fileName));

    QHash<Column, int> columns;
    const QStringList& header = records.front().fields;
    for (int k = 0; k < header.size(); ++k) {
        const QString name = header[k].trimmed().toLower();
        if (!headerNames().contains(name))
            return Rows::failure(place(fileName, 1) + QStringLiteral("неизвестный столбец «%1».").arg(header[k]));
        columns.insert(headerNames().value(name), k);
    }
    if (!columns.contains(cName))
        return Rows::failure(place(fileName, 1) + QStringLiteral("нет столбца названия (name или «название»)."));

    std::vector<FirmsFileRow> rows;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        if (record.fields.size() > header.size())
            return Rows::failure(place(fileName, record.line) +
                                 QStringLiteral("полей %1, а в заголовке %2.").arg(record.fields.size()).arg(header.size()));
        const auto value = [&](Column column) {
            const int k = columns.value(column, -1);
            return k >= 0 && k < record.fields.size() ? record.fields[k].trimmed() : QString();
        };
        FirmsFileRow row;
        row.line = record.line;
        row.name = value(cName);
        if (row.name.isEmpty())
            return Rows::failure(place(fileName, record.line) + QStringLiteral("у фирмы нет названия."));
        for (const QString& path : value(cCategories).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList levels = path.split(QLatin1Char('/'));
            const bool sound = levels.size() <= 2 && std::none_of(levels.begin(), levels.end(), [](const QString& level) {
                                   return level.trimmed().isEmpty();
                               });
            if (!sound)
                return Rows::failure(place(fileName, record.line) +
                                     QStringLiteral("рубрика «%1» должна быть вида «Верхняя/Нижняя».").arg(path.trimmed()));
            QStringList trimmed;
            for (const QString& level : levels)
                trimmed.append(level.trimmed());
            row.categories.append(trimmed.join(QLatin1Char('/')));
        }
        row.phones = value(cPhones);
        row.web = value(cWeb);
        row.email = value(cEmail);
        row.street = value(cStreet);
        row.house = value(cHouse);
        row.office = value(cOffice);
        row.bus = value(cBus);
        row.minibus = value(cMinibus);
        row.note = value(cNote);
        if (const QString logo = value(cLogo); !logo.isEmpty()) {
            QFile picture(QDir(folder).filePath(logo));
            if (!picture.open(QIODevice::ReadOnly))
                return Rows::failure(place(fileName, record.line) +
                                     QStringLiteral("логотип «%1» не найден или не читается.").arg(logo));
            row.logo = picture.readAll();
            row.logoName = QFileInfo(logo).fileName();
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Rows ReadFirmsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Rows::failure(QStringLiteral("Файл фирм «%1» не найден или не читается.").arg(path));
    return ParseFirmsFile(file.readAll(), QFileInfo(path).fileName(), QFileInfo(path).absolutePath());
}
