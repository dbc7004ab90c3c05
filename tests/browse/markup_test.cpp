// The firm mark-up as plain functions: the short forms, the full card in its
// order, the address pieces, escaping of database texts, the anchor
// vocabulary and the pop-up menu table.
#include "FirmList.h"
#include "FirmMarkup.h"
#include "MiniHtml.h"
#include "Uidlist.h"

#include <gtest/gtest.h>

namespace {

FirmCardData plainFirm() {
    FirmCardData firm;
    firm.id = 17;
    firm.name = "Ромашка";
    return firm;
}

QString visibleText(const QString& markup) {
    QString text;
    for (const auto& token : ParseMiniHtml(markup)) {
        if (token.kind == MiniHtmlToken::Text)
            text += token.text;
    }
    return text;
}

} // namespace

TEST(FirmMarkup, ShortFormsWithAndWithoutLogo) {
    FirmCardData firm = plainFirm();
    EXPECT_EQ(FirmShortForm(firm), "<hr><br><A href=\"Open\">Ромашка</A>");
    firm.hasImage = true;
    firm.imageName = ".jpg";
    EXPECT_EQ(
        FirmShortForm(firm),
        "<br><A href=\"Open\">Ромашка</A><br><A href=\"Open\"><IMG src=\"17.jpg\" align=\"middle\"></A>");
}

TEST(FirmMarkup, SelectedFontIsBoldEverywhereAndYellowWhereThereIsARule) {
    FirmCardData firm = plainFirm();
    firm.selectedFont = true;
    EXPECT_EQ(FirmShortForm(firm),
              "<hr><br><BODY bgcolor=\"clYellow\"></BODY><A href=\"Open\"><b>Ромашка</b></A>");
    firm.hasImage = true;
    firm.imageName = ".gif";
    const QString withLogo = FirmShortForm(firm);
    EXPECT_TRUE(withLogo.contains("<b>Ромашка</b>"));
    EXPECT_FALSE(withLogo.contains("clYellow"));
    EXPECT_FALSE(withLogo.contains("<hr>"));
    const QString card = FirmFullCard(firm, {}, {});
    EXPECT_TRUE(
        card.startsWith("<hr><br><BODY bgcolor=\"clYellow\"></BODY><A href=\"Open\"><IMG src=\"17.gif\""));
    EXPECT_TRUE(card.contains("<A href=\"Open\"><b>Ромашка</b></A>"));
}

TEST(FirmMarkup, FullCardPiecesInTheirOrder) {
    FirmCardData firm = plainFirm();
    firm.hasImage = true;
    firm.imageName = ".png";
    firm.hasArticle = true;
    firm.web = "romashka.ru";
    firm.email = "info@romashka.ru";
    firm.phones = "22-33-44";
    firm.note = "Без выходных";
    const QString card = FirmFullCard(firm, {{3, "Аптеки"}, {5, "Оптика"}}, "ADDRESSES");
    EXPECT_EQ(card,
              "<hr><br>"
              "<A href=\"Open\"><IMG src=\"17.png\" align=\"middle\"></A><br>"
              "<A href=\"Open\">Ромашка</A>"
              "<br><A href=\"Statya\"><IMG src=\"article.bmp\" align=\"middle\"></A>"
              "<br><IMG src=\"Category.bmp\" align=\"middle\">"
              " <A href=\"C3\">Аптеки</A><br> <A href=\"C5\">Оптика</A><br>"
              "<br> <IMG src=\"Web.bmp\" align=\"middle\"> <A href=\"http://romashka.ru\">romashka.ru</A>"
              "<br> <IMG src=\"Email.bmp\" align=\"middle\"> <A href=\"mailto:info@romashka.ru\">"
              "info@romashka.ru</A>"
              "<br><IMG src=\"Phones.bmp\" align=\"middle\">22-33-44"
              "<br>"
              "ADDRESSES"
              "<IMG src=\"Note.bmp\" align=\"middle\"><br>Без выходных");
}

TEST(FirmMarkup, AWebAddressStoredWithItsSchemeGetsNoSecondOne) {
    FirmCardData firm = plainFirm();
    for (const QString& web : QStringList{"http://romashka.ru", "HTTP://romashka.ru/цены", "https://romashka.ru"}) {
        firm.web = web;
        const QString card = FirmFullCard(firm, {}, {});
        EXPECT_TRUE(card.contains("<A href=\"" + web + "\">" + web + "</A>")) << card.toStdString();
    }
    EXPECT_EQ(WebLinkOf("romashka.ru"), "http://romashka.ru");
    EXPECT_EQ(WebLinkOf("http-romashka.ru"), "http://http-romashka.ru");
}

TEST(FirmMarkup, EmptyPhonesAndNoteStillShowTheirIconsButEmptyWebAndMailDoNot) {
    FirmCardData firm = plainFirm();
    firm.phones = "";
    firm.note = "";
    const QString card = FirmFullCard(firm, {}, {});
    EXPECT_EQ(card,
              "<hr><br><A href=\"Open\">Ромашка</A><br><IMG src=\"Category.bmp\" align=\"middle\">"
              "<br><IMG src=\"Phones.bmp\" align=\"middle\"><br><IMG src=\"Note.bmp\" align=\"middle\"><br>");
    firm.phones.reset();
    firm.note.reset();
    EXPECT_EQ(FirmFullCard(firm, {}, {}),
              "<hr><br><A href=\"Open\">Ромашка</A><br><IMG src=\"Category.bmp\" align=\"middle\"><br>");
}

TEST(FirmMarkup, AddressLineWithOfficeRoutesAndPhones) {
    FirmAddressData address{
        700, "Ленина", "1", QString("12"), QString("301"), QString("12, 45"), "111\r\n222\r\n"};
    EXPECT_EQ(AddressMarkup(address),
              "<IMG src=\"Address.bmp\" align=\"middle\"><A href=\"A700\">Ленина, 1 оф 12</A>"
              " <IMG src=\"MiniBus.bmp\" align=\"middle\">301"
              " <IMG src=\"Bus.bmp\" align=\"middle\">12, 45<br>"
              "<IND x=\"150\"><IMG src=\"Phones.bmp\">111<br>"
              "<IND x=\"150\"><IMG src=\"Phones.bmp\">\n222<br>");
    address = {701, "Мира", "7а", std::nullopt, std::nullopt, std::nullopt, ""};
    EXPECT_EQ(AddressMarkup(address),
              "<IMG src=\"Address.bmp\" align=\"middle\"><A href=\"A701\">Мира, 7а</A><br>");
}

TEST(FirmMarkup, AddressPhonesAreCutAtCarriageReturns) {
    EXPECT_EQ(AddressPhoneLines("111\r\n222\r\n").count("<IND"), 2);
    EXPECT_EQ(AddressPhoneLines("111"), "");
    EXPECT_EQ(AddressPhoneLines("111\r222"), "<IND x=\"150\"><IMG src=\"Phones.bmp\">111<br>");
    EXPECT_EQ(AddressPhoneLines("\r").count("<IND"), 1);
}

TEST(FirmMarkup, DatabaseTextsCannotInjectMarkup) {
    FirmCardData firm = plainFirm();
    firm.name = "<b>Рога & Копыта</b> <A href=\"Publish\">";
    firm.web = "x.ru/\"><A href=\"DiaryDel";
    firm.note = "строка 1\r\nстрока 2\nстрока 3<hr>";
    const QString card = FirmFullCard(firm, {{1, "<i>Кат</i>"}}, {});
    QStringList hrefs;
    int rules = 0;
    for (const auto& token : ParseMiniHtml(card)) {
        if (token.kind == MiniHtmlToken::AnchorOn)
            hrefs << token.text;
        rules += token.kind == MiniHtmlToken::Rule;
    }
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(hrefs, (QStringList{"Open", "C1", "http://x.ru/\"><A href=\"DiaryDel"}));
    EXPECT_TRUE(visibleText(card).contains("<b>Рога & Копыта</b> <A href=\"Publish\">"));
    EXPECT_TRUE(visibleText(card).contains("<i>Кат</i>"));
    EXPECT_TRUE(card.contains("строка 1<br>строка 2<br>строка 3&lt;hr&gt;"));
    EXPECT_EQ(ParseMiniHtml(FirmShortForm(firm))[3].text, firm.name);
}

TEST(FirmMarkup, EmptyListMessages) {
    EXPECT_EQ(EmptyCategoryMessage(),
              "В этой категории нет организаций. <br>Вы можете <A href=\"Publish\">добавить</A>"
              " свою организацию АБСОЛЮТНО бесплатно!");
    EXPECT_TRUE(EmptyBuildingMessage().startsWith("В этом здании нет организаций. <br>"));
    EXPECT_EQ(NothingFoundMessage().count("<br>"), 4);
    EXPECT_TRUE(MissingFavoriteLine(42).contains("42"));
}

TEST(FirmAnchors, TheVocabularyOfTheList) {
    EXPECT_EQ(ParseFirmAnchor("Open").kind, FirmAnchor::Open);
    EXPECT_EQ(ParseFirmAnchor("Publish").kind, FirmAnchor::Publish);
    EXPECT_EQ(ParseFirmAnchor("Statya").kind, FirmAnchor::Statya);
    EXPECT_EQ(ParseFirmAnchor("Diary").kind, FirmAnchor::Diary);
    EXPECT_EQ(ParseFirmAnchor("DiaryDel").kind, FirmAnchor::DiaryDel);
    EXPECT_EQ(ParseFirmAnchor("A700").kind, FirmAnchor::MapObject);
    EXPECT_EQ(ParseFirmAnchor("A700").id, 700);
    EXPECT_EQ(ParseFirmAnchor("C3").kind, FirmAnchor::Category);
    EXPECT_EQ(ParseFirmAnchor("C3").id, 3);
    EXPECT_EQ(ParseFirmAnchor("http://x.ru").kind, FirmAnchor::External);
    EXPECT_EQ(ParseFirmAnchor("mailto:a@b.ru").kind, FirmAnchor::External);
    EXPECT_EQ(ParseFirmAnchor("Axyz").kind, FirmAnchor::Unknown);
    EXPECT_EQ(ParseFirmAnchor("").kind, FirmAnchor::Unknown);
}

TEST(FirmAnchors, PopupMenuOffersOnlyWhatAppliesToTheLine) {
    TIDList listed;
    for (const int id : {10, 11, 99})
        listed.Add(id);
    TFavorites favorites;
    favorites.Add(10);
    favorites.Add(11);
    using Content = FirmListContent;
    const auto menu = [&](int page, Content content, int line, bool houseLine = false) {
        return FirmsMenuFor({page, content, line, houseLine}, listed, favorites);
    };
    const FirmsMenuVisibility none;
    const FirmsMenuVisibility add{.addToFavorites = true};
    for (const int page : {0, 2, 4}) {
        EXPECT_EQ(menu(page, Content::Firms, 2), add) << page;
        EXPECT_EQ(menu(page, Content::Favorites, 0), add) << page;
        EXPECT_EQ(menu(page, Content::Firms, 3), none) << "a line that is no firm, page " << page;
        EXPECT_EQ(menu(page, Content::Firms, -1), none) << "empty space, page " << page;
        EXPECT_EQ(menu(page, Content::Other, 0), none) << "a list the page did not fill, page " << page;
    }
    EXPECT_EQ(menu(1, Content::Favorites, 1), FirmsMenuVisibility{.deleteFavorite = true});
    EXPECT_EQ(menu(1, Content::Favorites, 2), none) << "line 2 is no favourite";
    EXPECT_EQ(menu(1, Content::Firms, 0), none) << "not the favourites list";
    EXPECT_EQ(menu(1, Content::Other, 0), none) << "the empty-favourites message";
    EXPECT_EQ(menu(3, Content::Other, 0, true), FirmsMenuVisibility{.addBookmark = true});
    EXPECT_EQ(menu(3, Content::Other, 0, false), none) << "the not-found message";
    for (const Content content : {Content::Other, Content::Firms, Content::Favorites})
        EXPECT_EQ(menu(5, content, 1, true), none) << "diary lines";
}
