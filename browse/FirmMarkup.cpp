#include "FirmMarkup.h"

#include "Query.h"
#include "Vdlconsts.h"

#include <algorithm>

namespace {

enum Picture {
    picPhones,
    picWeb,
    picEmail,
    picBus,
    picMiniBus,
    picNote,
    picArticle,
    picCategory,
    picAddress
};

QString pic(Picture picture) {
    return QString::fromLatin1(LoadPics[picture]);
}

QString middleImage(Picture picture) {
    return "<IMG src=\"" + pic(picture) + "\" align=\"middle\">";
}

QString nameMarkup(const FirmCardData& firm) {
    const QString name = EscapeMarkup(firm.name);
    return firm.selectedFont ? "<b>" + name + "</b>" : name;
}

QString yellowBody(const FirmCardData& firm) {
    return firm.selectedFont ? QStringLiteral("<BODY bgcolor=\"clYellow\"></BODY>") : QString();
}

QString logoImage(const FirmCardData& firm) {
    return "<IMG src=\"" + EscapeMarkup(LogoPictureName(firm.id, firm.imageName)) + "\" align=\"middle\">";
}

} // namespace

FirmCardData FirmCardFromRow(const TQuery& firms) {
    FirmCardData firm;
    firm.id = firms.FieldByName("ID").AsInteger();
    firm.name = firms.FieldByName("Name").AsString();
    firm.selectedFont = firms.FieldByName("SelectedFont").AsBoolean();
    firm.hasImage = !firms.FieldByName("Image").IsNull();
    firm.imageName = firms.FieldByName("ImageName").AsString();
    firm.phones = firms.FieldByName("Phones").AsOptionalString();
    firm.email = firms.FieldByName("Email").AsString();
    firm.web = firms.FieldByName("Web").AsString();
    firm.note = firms.FieldByName("Note").AsOptionalString();
    firm.hasArticle = !firms.FieldByName("article").IsNull();
    return firm;
}

QString EscapeMarkup(const QString& text) {
    const auto special = [](QChar c) { return c == u'<' || c == u'>' || c == u'&' || c == u'"'; };
    // Most names and addresses have nothing to escape: those are shared, not copied.
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '&':
            result += "&amp;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString EscapeMultiline(const QString& text) {
    QString lines = text;
    lines.replace("\r\n", "\n").replace('\r', '\n');
    return EscapeMarkup(lines).replace('\n', "<br>");
}

QString LogoPictureName(int id, const QString& imageName) {
    return QString::number(id) + imageName;
}

// Editions hold web addresses both ways, with and without the scheme.
QString WebLinkOf(const QString& web) {
    if (web.startsWith("http://", Qt::CaseInsensitive) || web.startsWith("https://", Qt::CaseInsensitive))
        return web;
    return "http://" + web;
}

QString FirmShortForm(const FirmCardData& firm) {
    const QString name = nameMarkup(firm);
    if (!firm.hasImage)
        return "<hr><br>" + yellowBody(firm) + "<A href=\"Open\">" + name + "</A>";
    return "<br><A href=\"Open\">" + name + "</A><br><A href=\"Open\">" + logoImage(firm) + "</A>";
}

QString FirmFullCard(const FirmCardData& firm, const std::vector<FirmCategoryLink>& categories,
                     const QString& addresses) {
    QString card = "<hr><br>" + yellowBody(firm);
    if (firm.hasImage)
        card += "<A href=\"Open\">" + logoImage(firm) + "</A><br>";
    card += "<A href=\"Open\">" + nameMarkup(firm) + "</A>";
    if (firm.hasArticle)
        card += "<br><A href=\"Statya\">" + middleImage(picArticle) + "</A>";
    card += "<br>" + middleImage(picCategory);
    for (const FirmCategoryLink& category : categories)
        card += " <A href=\"C" + QString::number(category.foldId) + "\">" + EscapeMarkup(category.foldName) +
                "</A><br>";
    if (!firm.web.isEmpty())
        card += "<br> " + middleImage(picWeb) + " <A href=\"" + EscapeMarkup(WebLinkOf(firm.web)) + "\">" +
                EscapeMarkup(firm.web) + "</A>";
    if (!firm.email.isEmpty())
        card += "<br> " + middleImage(picEmail) + " <A href=\"mailto:" + EscapeMarkup(firm.email) + "\">" +
                EscapeMarkup(firm.email) + "</A>";
    if (firm.phones)
        card += "<br>" + middleImage(picPhones) + EscapeMarkup(*firm.phones);
    card += "<br>";
    card += addresses;
    if (firm.note)
        card += middleImage(picNote) + "<br>" + EscapeMultiline(*firm.note);
    return card;
}

QString AddressMarkup(const FirmAddressData& address) {
    QString line = middleImage(picAddress) + "<A href=\"A" + QString::number(address.objectId) + "\">" +
                   EscapeMarkup(address.street) + ", " + EscapeMarkup(address.house);
    if (address.office)
        line += " оф " + EscapeMarkup(*address.office);
    line += "</A>";
    if (address.miniBus)
        line += " " + middleImage(picMiniBus) + EscapeMarkup(*address.miniBus);
    if (address.bus)
        line += " " + middleImage(picBus) + EscapeMarkup(*address.bus);
    line += "<br>";
    return line + AddressPhoneLines(address.phones);
}

QString AddressPhoneLines(const QString& phones) {
    QString lines;
    qsizetype start = 0;
    for (qsizetype end = phones.indexOf('\r'); end >= 0; end = phones.indexOf('\r', start)) {
        lines += "<IND x=\"150\"><IMG src=\"" + pic(picPhones) + "\">" +
                 EscapeMarkup(phones.mid(start, end - start)) + "<br>";
        start = end + 1;
    }
    return lines;
}

QString EmptyCategoryMessage() {
    return "В этой категории нет организаций. <br>Вы можете <A href=\"Publish\">добавить</A> свою "
           "организацию "
           "АБСОЛЮТНО бесплатно!";
}

QString EmptyBuildingMessage() {
    return "В этом здании нет организаций. <br>Вы можете <A href=\"Publish\">добавить</A> свою организацию "
           "АБСОЛЮТНО бесплатно!";
}

QString NothingFoundMessage() {
    return QStringLiteral("Не найдено ни одной организации, соответствующей вашему запросу.") +
           "<br>Рекомендации:" + "<br>Убедитесь, что все слова написаны без ошибок." +
           "<br>Попробуйте использовать другие ключевые слова." +
           "<br>Попробуйте использовать более популярные ключевые слова.";
}

QString NoHousesFoundMessage() {
    return QStringLiteral("Не найдено ни одного дома, соответствующего вашему запросу.") +
           "<br>Убедитесь, что название улицы и номер дома написаны без ошибок.";
}

QString EmptyFavoritesMessage() {
    return "Для добавления в избранное воспользуйтесь контекстным меню в списке предприятий";
}

// A favourite whose firm has left the edition keeps its line, so that line i
// stays favourite i and the user can still remove it.
QString MissingFavoriteLine(int id) {
    return "<hr><br>Организации больше нет в справочнике (номер " + QString::number(id) +
           "). Удалите её из избранного через контекстное меню.";
}
