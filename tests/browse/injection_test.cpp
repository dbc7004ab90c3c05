// Hostile texts from the user and from the edition: SQL quotes and comments,
// LIKE wildcards, mark-up, line breaks, NUL, bytes that are no UTF-8 and a
// text of 100,000 characters. The search finds what the literal text finds,
// the lists show the text as typed with no mark-up of its own, and the
// registry gives back what was stored.
#include "Bookmarks.h"
#include "Buildings.h"
#include "Datamodule.h"
#include "Diary.h"
#include "Favorites.h"
#include "FirmMarkup.h"
#include "ForgivingSearch.h"
#include "MiniHtml.h"
#include "Minireg.h"
#include "SearchQuery.h"
#include "SuggestIndex.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Uidlist.h"
#include "Vdlconsts.h"
#include "search_world.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

// Readable texts in the failure messages.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.left(200).toStdString() << '"';
}

namespace {

const QStringList& payloads()
{
    static const QStringList all = {
        "'; DROP TABLE Firms; --", "\" OR 1=1 --", "%", "_", "[", "\\", "a%b_c",
        "<b>",                     "<a href=x>",   "</td>", "&amp;", "<script>alert(1)</script>",
        "строка\r\nдругая",        QString("до") + QChar(0) + "после",
        QString::fromUtf8("\xff\xfe\xc3"), // bytes that are no UTF-8, as QString takes them in
        QString(100000, QChar(u'ж')),
    };
    return all;
}

std::string label(const QString& payload)
{
    return payload.left(30).toStdString() + (payload.size() > 30 ? "…" : "");
}

// --- Search ------------------------------------------------------------------

// Firm 100 + i carries payload i in its name, phones, web and e-mail, and has
// an address in building 900 + i, whose post index is payload i too.
class InjectedSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        for (int i = 0; i < payloads().size(); ++i) {
            const QString text = payloads()[i];
            edition.addFirm({.id = 100 + i, .name = "Фирма " + text, .phones = text, .email = text, .web = text});
            edition.addAddress({.id = 100 + i, .objectId = 900 + i, .firmId = 100 + i});
            edition.addPostIndex(i + 1, text);
            edition.addPostIndexObject(900 + i, i + 1);
        }
        edition.sealAs(folder.file("sealed.abs"), 1);
        dm.Con.DatabaseFileName = QString::fromStdString(folder.file("sealed.abs"));
        dm.Con.Password = MapPw[1];
        ASSERT_TRUE(dm.Con.Open());
    }

    QSet<int> found(const SearchCriteria& criteria)
    {
        dm.qFirmsFind.Close();
        dm.qFirmsFind.setSQL(*FirmsFindSql(criteria, std::nullopt));
        QSet<int> ids;
        for (dm.qFirmsFind.Open(); !dm.qFirmsFind.Eof(); dm.qFirmsFind.Next())
            ids << dm.qFirmsFind.FieldByName("ID").AsInteger();
        return ids;
    }

    // The firms whose text holds the typed one, blanks around it trimmed.
    static QSet<int> literalMatches(const QString& typed, const QString& prefix = {})
    {
        const QString wanted = typed.trimmed();
        QSet<int> ids;
        for (int i = 0; i < payloads().size(); ++i)
            if ((prefix + payloads()[i]).contains(wanted, Qt::CaseInsensitive))
                ids << 100 + i;
        return ids;
    }

    TemporaryFolder folder;
    TDM dm;
};

TEST_F(InjectedSearch, EveryFieldFindsWhatTheLiteralTextFinds)
{
    for (const QString& typed : payloads()) {
        EXPECT_EQ(found({.Name = typed}), literalMatches(typed, "Фирма ")) << "name " << label(typed);
        EXPECT_EQ(found({.Phone = typed}), literalMatches(typed)) << "phone " << label(typed);
        EXPECT_EQ(found({.Web = typed}), literalMatches(typed)) << "web " << label(typed);
        EXPECT_EQ(found({.Email = typed}), literalMatches(typed)) << "e-mail " << label(typed);
        EXPECT_EQ(found({.PostIndex = typed}), literalMatches(typed)) << "post index " << label(typed);
    }
    TQuery all(dm.Con, "qAll", "SELECT count(*) FROM FIRMS");
    all.Open();
    EXPECT_EQ(all.Fields(0).AsInteger(), payloads().size());
}

TEST_F(InjectedSearch, StreetAndHouseAreMatchedAsTyped)
{
    std::vector<TPMXMapObjectMem> objects;
    objects.reserve(std::size_t(payloads().size()));
    for (int i = 0; i < payloads().size(); ++i)
        objects.push_back(addressedObject(900 + i, payloads()[i], payloads()[i]));
    MapEngine map;
    map.setModel(modelOf(objects));
    AddressIndex index(map.model());
    for (int i = 0; i < payloads().size(); ++i) {
        const QString typed = payloads()[i];
        const QStringList houses = SearchHouses(map, index, {QString(), typed});
        EXPECT_FALSE(houses.isEmpty()) << label(typed);
        const std::optional<QString> ids = AddressObjectIds(map, index, {typed, std::nullopt});
        EXPECT_TRUE(ids && ids->contains(QString::number(900 + i))) << label(typed);
    }
}

TEST(InjectedSuggestions, HostileQueriesAndNamesGiveOffersWithoutFault)
{
    std::vector<SuggestEntry> entries{{EntryKind::Firm, 1, "Аптека «Здоровье»"}, {EntryKind::Category, 2, "Аптеки"}};
    for (int i = 0; i < payloads().size(); ++i)
        entries.push_back({EntryKind::Firm, 100 + i, "Аптека " + payloads()[i]});
    const SuggestIndex index(entries);
    for (const QString& typed : payloads() + QStringList{"fgntrf " + payloads().join(' ')}) {
        for (const Offer& offer : index.Offers(typed, kOffersShown))
            EXPECT_TRUE(offer.text.startsWith("Аптек")) << label(typed);
        index.Correction(typed);
    }
}

// --- Mark-up -----------------------------------------------------------------

const QString kStandIn = QStringLiteral("☃");

// What a mark-up shows (its texts, a line break as "\n") and what it is made
// of (every other token with its href, picture or colour).
struct ParsedMarkup {
    QString text;
    QStringList structure;
};

ParsedMarkup parse(const QString& markup)
{
    ParsedMarkup parsed;
    for (const MiniHtmlToken& token : ParseMiniHtml(markup)) {
        if (token.kind == MiniHtmlToken::Text)
            parsed.text += token.text;
        else if (token.kind == MiniHtmlToken::Break)
            parsed.text += '\n';
        else
            parsed.structure << QString::number(token.kind) + ":" + token.text;
    }
    return parsed;
}

TPMXMapObjectMem building(const QString& text)
{
    return addressedObject(900, text, text);
}

// Every mark-up builder that puts a text of the user, the edition or the map
// into a list, with the text given.
QStringList markupWith(const QString& text)
{
    FirmCardData firm{.id = 10, .name = text, .hasImage = true, .imageName = ".png", .phones = text,
                      .email = text, .web = text, .note = text, .hasArticle = true};
    const FirmAddressData address{900, text, text, text, text, text, text};
    const Offer offer{.kind = EntryKind::Firm, .id = 10, .text = text, .correction = text, .firms = 2};
    return {FirmShortForm(firm),
            FirmFullCard(firm, {{2, text}}, AddressMarkup(address)),
            HouseLine(building(text)),
            DiaryBuildingLine(building(text)),
            CorrectedSearchLine(text, text),
            OfferLine(offer)};
}

TEST(InjectedMarkup, TextsShowAsTypedAndAddNoMarkup)
{
    const QStringList reference = markupWith(kStandIn);
    for (const QString& typed : payloads()) {
        if (typed.contains('\r'))
            continue; // line breaks have their own test below
        const QStringList markups = markupWith(typed);
        for (int i = 0; i < markups.size(); ++i) {
            ParsedMarkup expected = parse(reference[i]);
            const ParsedMarkup shown = parse(markups[i]);
            EXPECT_EQ(shown.structure, expected.structure.replaceInStrings(kStandIn, typed))
                << "builder " << i << ", " << label(typed);
            EXPECT_EQ(shown.text, QString(expected.text).replace(kStandIn, typed))
                << "builder " << i << ", " << label(typed);
        }
    }
}

// Every text column of a firm row of a real edition, its bytes as stored,
// through the firm query and the card. Bytes that are no UTF-8 show as the
// replacement character, as every reader of UTF-8 shows them.
TEST(InjectedMarkup, EditionColumnsShowAsStored)
{
    QList<QByteArray> stored{QByteArray("☃"), QByteArray("\xff\xfe\xc3 и \xd0")};
    for (const QString& typed : payloads())
        if (!typed.contains('\r'))
            stored << typed.toUtf8();
    TemporaryFolder folder;
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        for (int i = 0; i < stored.size(); ++i) {
            edition.addFirm({.id = 10 + i, .name = "x", .image = QByteArray("logo")});
            edition.exec("UPDATE FIRMS SET Name = CAST(?1 AS TEXT), Phones = CAST(?1 AS TEXT), Email = CAST(?1 AS "
                         "TEXT), Web = CAST(?1 AS TEXT), Note = CAST(?1 AS TEXT), ImageName = CAST(?1 AS TEXT) "
                         "WHERE ID = ?2",
                         {stored[i], 10 + i});
        }
        edition.sealAs(folder.file("sealed.abs"), 1);
    }
    TDM dm;
    dm.Con.DatabaseFileName = QString::fromStdString(folder.file("sealed.abs"));
    dm.Con.Password = MapPw[1];
    ASSERT_TRUE(dm.Con.Open());
    QMap<int, QStringList> cards; // by the row's place in `stored`
    for (dm.qFirms.Open(); !dm.qFirms.Eof(); dm.qFirms.Next()) {
        FirmCardData firm = FirmCardFromRow(dm.qFirms);
        const int row = firm.id - 10;
        firm.id = 10; // the same picture name prefix in every card
        cards[row] = QStringList{FirmShortForm(firm), FirmFullCard(firm, {}, {})};
    }
    ASSERT_EQ(cards.size(), stored.size());
    for (int i = 1; i < stored.size(); ++i) {
        const QString shown = QString::fromUtf8(stored[i]);
        for (int form = 0; form < 2; ++form) {
            ParsedMarkup expected = parse(cards[0][form]);
            EXPECT_EQ(parse(cards[i][form]).structure, expected.structure.replaceInStrings(kStandIn, shown))
                << "form " << form << ", " << label(shown);
            EXPECT_EQ(parse(cards[i][form]).text, expected.text.replace(kStandIn, shown))
                << "form " << form << ", " << label(shown);
        }
    }
}

TEST(InjectedMarkup, LineBreaksOnlyBreakLines)
{
    const QStringList reference = markupWith(kStandIn);
    const QStringList markups = markupWith("строка\r\nдругая");
    // Address phones get an indented line with its icon for each break;
    // anchors, rules, bold and backgrounds stay as they are.
    const auto marks = [](const QStringList& structure) {
        return structure.filter(QRegularExpression("^[35-9]:")).join(' ').toStdString();
    };
    for (int i = 0; i < markups.size(); ++i) {
        QStringList structure = parse(reference[i]).structure;
        EXPECT_EQ(marks(parse(markups[i]).structure), marks(structure.replaceInStrings(kStandIn, "строка\r\nдругая")))
            << "builder " << i;
    }
}

// --- Registry ----------------------------------------------------------------

TEST(InjectedRegistry, DiaryNotesAndBookmarkCaptionsComeBackAsTyped)
{
    IsolatedRegistry registry;
    const std::string prefix = "Software\\Varindel TLX Company\\";
    const TDiaryStore diary(prefix + "Diary\\", prefix + "DiaryObj\\");
    for (const QString& typed : payloads()) {
        diary.SetNote(QDate(2008, 1, 1), typed);
        EXPECT_EQ(diary.Note(QDate(2008, 1, 1)), typed) << label(typed);
        const std::vector<Bookmark> bookmarks{{typed, 900}, {"второй", 901}};
        SaveBookmarks(bookmarks, prefix + "Values\\", prefix + "Names\\");
        EXPECT_EQ(LoadBookmarks(prefix + "Values\\", prefix + "Names\\"), bookmarks) << label(typed);

        // A favourite that someone changed into a text in the store: the
        // list of the favourites' statement stays a list of numbers.
        RegSetString(HKEY_CURRENT_USER, prefix + "Favorites\\1", typed.toStdString());
        TFavorites favorites;
        LoadFavorites(favorites, prefix + "Favorites\\");
        EXPECT_TRUE(QString::fromStdString(favorites.GetFavoriteStr())
                        .contains(QRegularExpression("^\\([0-9,]*\\)$")))
            << favorites.GetFavoriteStr();
    }
}

} // namespace
