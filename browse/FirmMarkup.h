// The mark-up of the firm list: a firm's short form and full card, the
// pieces of the card, and the messages of empty lists. Texts that come from
// the database are escaped here, so a name with "<" or "&" shows as typed
// and can never add mark-up of its own.
#pragma once

#include <QString>
#include <optional>
#include <vector>

class TQuery;

// What the card shows of one FIRMS row. Null texts are empty optionals.
struct FirmCardData {
    int id = 0;
    QString name;
    bool selectedFont = false;
    bool hasImage = false;
    QString imageName;
    std::optional<QString> phones;
    QString email;
    QString web;
    std::optional<QString> note;
    bool hasArticle = false;
};

struct FirmCategoryLink {
    int foldId = 0;
    QString foldName;
};

// One address of the card, with the street and house of its map object.
struct FirmAddressData {
    int objectId = 0;
    QString street;
    QString house;
    std::optional<QString> office;
    std::optional<QString> miniBus;
    std::optional<QString> bus;
    QString phones;
};

// The card's fields of the row the firm query stands on.
FirmCardData FirmCardFromRow(const TQuery& firms);

// "<" ">" "&" and quotes as entities; line breaks stay as they are.
QString EscapeMarkup(const QString& text);
// The same, with each line break (CR LF, CR or LF) written as <br>.
QString EscapeMultiline(const QString& text);

// The logo's picture name: the firm ID in decimal followed by ImageName.
QString LogoPictureName(int id, const QString& imageName);

// The link of a firm's web address: the address behind "http://", unless it
// starts with "http://" already.
QString WebLinkOf(const QString& web);

QString FirmShortForm(const FirmCardData& firm);
QString FirmFullCard(const FirmCardData& firm, const std::vector<FirmCategoryLink>& categories,
                     const QString& addresses);
QString AddressMarkup(const FirmAddressData& address);
// The address phones cut at each carriage return, one indented line per
// piece that ends in one; what follows the last carriage return is not shown.
QString AddressPhoneLines(const QString& phones);

// Items of empty lists and of favourites that are gone from the edition.
QString EmptyCategoryMessage();
QString EmptyBuildingMessage();
QString NothingFoundMessage();
QString NoHousesFoundMessage();
QString EmptyFavoritesMessage();
QString MissingFavoriteLine(int id);
