// The mark-up of the list boxes (parser, layout) and the list box itself as a
// real widget offscreen: item heights, hit tests, anchor clicks, the update
// bracket and the links it opens itself.
#include "MiniHtml.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPixmap square(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::green);
    return pixmap;
}

MiniHtmlPictureLookup pictures() {
    return [](const QString& name) {
        return name == "big" ? square(40) : name == "icon" ? square(16) : QPixmap();
    };
}

int textHeight(const QFont& font) {
    QFont bold(font);
    bold.setBold(true);
    return std::max(QFontMetrics(font).height(), QFontMetrics(bold).height());
}

std::vector<MiniHtmlToken::Kind> kinds(const QString& markup) {
    std::vector<MiniHtmlToken::Kind> result;
    for (const auto& token : ParseMiniHtml(markup))
        result.push_back(token.kind);
    return result;
}

struct ShownList {
    TPictureContainer pictures;
    THTMListBox list;
    ShownList() {
        pictures.Add("icon", square(16));
        pictures.Add("big", square(40));
        list.PictureContainer = &pictures;
        list.resize(300, 200);
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    QPoint centreOfAnchor(int item, int anchor) {
        const MiniHtmlLayout layout = LayOutMiniHtml(list.Item(item), list.viewport()->width(), list.font(),
                                                     [this](const QString& n) { return pictures.Find(n); });
        for (const MiniHtmlRun& run : layout.runs) {
            if (run.anchor == anchor)
                return run.rect.center() + list.ItemRect(item).topLeft();
        }
        ADD_FAILURE() << "no anchor " << anchor;
        return {};
    }
};

} // namespace

TEST(MiniHtml, ParsesTheTagsOfTheListsWhateverTheirCase) {
    using K = MiniHtmlToken;
    EXPECT_EQ(kinds("<hr><BR><b>x</B><A href=\"Open\">y</a><IMG src=\"n\" align=\"middle\"><IND x=\"150\">"
                    "<BODY bgcolor=\"clYellow\"></BODY><font>z</font>"),
              (std::vector<K::Kind>{K::Rule, K::Break, K::BoldOn, K::Text, K::BoldOff, K::AnchorOn, K::Text,
                                    K::AnchorOff, K::Image, K::Indent, K::Background, K::Text}));
    const auto tokens = ParseMiniHtml("<IMG src=\"17.jpg\" align=\"left\"><IND x=\"150\"><A href=\"C42\">");
    EXPECT_EQ(tokens[0].text, "17.jpg");
    EXPECT_EQ(tokens[0].align, "left");
    EXPECT_EQ(tokens[1].x, 150);
    EXPECT_EQ(tokens[2].text, "C42");
    // Any blank ends the name: a tab or a line break as well as a space.
    EXPECT_EQ(kinds("<A\thref=\"Open\">y</A ><img\nsrc=\"n\"><br\r\n>"),
              (std::vector<K::Kind>{K::AnchorOn, K::Text, K::AnchorOff, K::Image, K::Break}));
}

TEST(MiniHtml, EntitiesAndStrayBracketsAreText) {
    const auto tokens = ParseMiniHtml("a &lt;b&gt; &amp; &quot;c&quot; &#1046; 1 < 2 &unknown;");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].text, "a <b> & \"c\" Ж 1 < 2 &unknown;");
    EXPECT_EQ(ParseMiniHtml("<A href=\"http://x.ru/?a=1&amp;b=&quot;2&quot;\">")[0].text,
              "http://x.ru/?a=1&b=\"2\"");
    EXPECT_EQ(MiniHtmlColor("clYellow"), QColor(255, 255, 0));
    EXPECT_FALSE(MiniHtmlColor("nonsense").isValid());
}

TEST(MiniHtml, ItemsAreAsTallAsTheirLinesAndPictures) {
    const QFont font;
    const int line = textHeight(font);
    EXPECT_EQ(LayOutMiniHtml("one line", 300, font, pictures()).height,
              std::max(line + 2, kMiniHtmlMinimumHeight));
    EXPECT_EQ(LayOutMiniHtml("a<br>b<br>c", 300, font, pictures()).height, 3 * line + 2);
    EXPECT_EQ(LayOutMiniHtml("a <IMG src=\"big\" align=\"middle\"> b", 300, font, pictures()).height,
              std::max(40, line) + 2);
    // A picture that the container does not hold takes no room.
    EXPECT_EQ(LayOutMiniHtml("a <IMG src=\"gone\" align=\"middle\">", 300, font, pictures()).height,
              std::max(line + 2, kMiniHtmlMinimumHeight));
    // A long text wraps at the item's width instead of running off it.
    const MiniHtmlLayout wrapped = LayOutMiniHtml(QString("слово ").repeated(40), 120, font, pictures());
    EXPECT_GT(wrapped.height, 5 * line);
    for (const MiniHtmlRun& run : wrapped.runs)
        EXPECT_LE(run.rect.left(), 120);
}

TEST(MiniHtml, IndentAndAnchorsArePlaced) {
    const QFont font;
    const MiniHtmlLayout layout = LayOutMiniHtml(
        "<IND x=\"150\"><A href=\"one\">first</A> plain <A href=\"two\"><IMG src=\"icon\"></A>", 400, font,
        pictures());
    ASSERT_EQ(layout.anchors, (QStringList{"one", "two"}));
    ASSERT_GE(layout.runs.size(), 3u);
    EXPECT_EQ(layout.runs[0].rect.left(), 150);
    EXPECT_EQ(layout.AnchorAt(layout.runs[0].rect.center()), 0);
    EXPECT_EQ(layout.AnchorAt(layout.runs.back().rect.center()), 1);
    EXPECT_EQ(layout.AnchorAt(QPoint(5, 5)), -1);
    EXPECT_EQ(LayOutMiniHtml("<BODY bgcolor=\"clYellow\"></BODY>x", 100, font, pictures()).background,
              QColor(255, 255, 0));
}

TEST(MiniHtml, AnIndentBeyondTheItemKeepsTheTextOnIt) {
    const QFont font;
    for (const char* markup : {"<ind x=2147483647>far away", "<ind x=\"99999\"><a href=\"x\">far</a>",
                               "<ind x=-2147483648>near"}) {
        const MiniHtmlLayout layout = LayOutMiniHtml(markup, 200, font, pictures());
        ASSERT_FALSE(layout.runs.empty()) << markup;
        for (const MiniHtmlRun& run : layout.runs) {
            EXPECT_GE(run.rect.left(), kMiniHtmlMargin) << markup;
            EXPECT_LT(run.rect.left(), 200) << markup;
        }
    }
}

TEST(THTMListBox, ItemAtPosFollowsTheHeightsOfTheItems) {
    ShownList shown;
    shown.list.Add("one");
    shown.list.Add("two<br>lines");
    shown.list.Add("<IMG src=\"big\" align=\"middle\">");
    const int h0 = shown.list.ItemHeight(0);
    const int h1 = shown.list.ItemHeight(1);
    const int h2 = shown.list.ItemHeight(2);
    EXPECT_GT(h1, h0);
    EXPECT_EQ(h2, 42);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, 0)), 0);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, h0 - 1)), 0);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, h0)), 1);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, h0 + h1 + 1)), 2);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, h0 + h1 + h2 + 3)), -1);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, h0 + h1 + h2 + 3), false), 3);
    // Changing an item changes its height and everything below it.
    shown.list.SetItem(0, "a<br>b<br>c");
    EXPECT_GT(shown.list.ItemHeight(0), h1);
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, shown.list.ItemHeight(0))), 1);
    shown.list.Delete(0);
    EXPECT_EQ(shown.list.Count(), 2);
    EXPECT_EQ(shown.list.Item(0), "two<br>lines");
}

TEST(THTMListBox, AClickOnAnAnchorReportsItsItemAndHref) {
    ShownList shown;
    shown.list.Add("no anchors here");
    shown.list.Add("<b>Name</b> <A href=\"Open\">open</A> and <A href=\"C7\"><IMG src=\"icon\"></A>");
    QSignalSpy clicks(&shown.list, &THTMListBox::AnchorClick);
    QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, shown.centreOfAnchor(1, 1));
    QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, shown.centreOfAnchor(1, 0));
    QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0][0].toInt(), 1);
    EXPECT_EQ(clicks[0][1].toString(), "C7");
    EXPECT_EQ(clicks[1][1].toString(), "Open");
    int hit = -1;
    EXPECT_EQ(shown.list.AnchorAtPos(shown.centreOfAnchor(1, 0), &hit), "Open");
    EXPECT_EQ(hit, 1);
}

TEST(THTMListBox, WebAndMailAnchorsAreOpenedByTheListItself) {
    ShownList shown;
    std::vector<QUrl> opened;
    shown.list.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    shown.list.Add("<A href=\"http://varindel.example\">site</A> <A href=\"mailto:a@b.ru\">mail</A> "
                   "<A href=\"Open\">open</A> <A href=\"https://varindel.example\">secure</A>");
    for (int anchor = 0; anchor < 4; ++anchor)
        QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, shown.centreOfAnchor(0, anchor));
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl("http://varindel.example"), QUrl("mailto:a@b.ru"),
                                         QUrl("https://varindel.example")}));
}

TEST(THTMListBox, MouseDownReportsEveryButtonAndHoverShowsAHand) {
    ShownList shown;
    shown.list.Add("<A href=\"Open\">open</A>");
    QSignalSpy downs(&shown.list, &THTMListBox::MouseDown);
    QTest::mousePress(shown.list.viewport(), Qt::RightButton, {}, QPoint(3, 150));
    QTest::mouseRelease(shown.list.viewport(), Qt::RightButton, {}, QPoint(3, 150));
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(shown.list.ItemAtPos(downs[0][2].toPoint()), -1);
    QTest::mouseMove(shown.list.viewport(), shown.centreOfAnchor(0, 0));
    EXPECT_EQ(shown.list.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(shown.list.viewport(), QPoint(250, 150));
    EXPECT_EQ(shown.list.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST(THTMListBox, ThousandsOfItemsScrollToTheEnd) {
    ShownList shown;
    shown.list.BeginUpdate();
    for (int i = 0; i < 3000; ++i)
        shown.list.Add(i % 3 ? QString("firm %1").arg(i) : QString("<hr><br>firm %1<br>second line").arg(i));
    EXPECT_EQ(shown.list.verticalScrollBar()->maximum(), 0); // nothing measured inside the bracket
    shown.list.EndUpdate();
    QScrollBar* bar = shown.list.verticalScrollBar();
    EXPECT_GT(bar->maximum(), 3000 * 15);
    bar->setValue(bar->maximum());
    EXPECT_EQ(shown.list.ItemAtPos(QPoint(5, shown.list.viewport()->height() - 2)), 2999);
    EXPECT_FALSE(shown.list.viewport()->grab().isNull());
    shown.list.Clear();
    EXPECT_EQ(shown.list.Count(), 0);
    EXPECT_EQ(shown.list.ItemIndex(), -1);
}
