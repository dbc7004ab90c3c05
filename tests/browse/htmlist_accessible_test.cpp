// The HTML list box as a screen reader meets it through Qt's accessibility
// interfaces: the lines as children with their words, the selected line,
// anchors as links that can be pressed, and nothing stale after a change.
#include "HtmlListAccessible.h"
#include "THTMListBox.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A firm line and a card the way the directory writes them.
const QString kFirmLine = "<br><A href=\"Open\">Аптека «Здоровье»</A><br><A href=\"Open\"><IMG src=\"logo7\"></A>";
const QString kCard = "<hr><br><BODY bgcolor=\"clYellow\"></BODY><A href=\"Open\"><b>Хлебозавод</b></A>"
                      "<br><A href=\"Statya\"><IMG src=\"article.bmp\" align=\"middle\"></A>"
                      "<br> <IMG src=\"Web.bmp\" align=\"middle\"> <A href=\"http://bread.example\">bread.example</A>"
                      "<br><IMG src=\"Phones.bmp\" align=\"middle\">22-33-44&nbsp;&amp; 22-33-45<br>";

struct ReaderWorld {
    THTMListBox list;
    QAccessibleInterface* reader = nullptr;

    ReaderWorld() {
        list.setAccessibleName("Организации");
        list.resize(300, 400);
        list.Assign({kFirmLine, kCard, "Третья строка"});
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
        reader = QAccessible::queryAccessibleInterface(&list);
    }

    QAccessibleInterface* line(int index) const { return reader->child(index); }
};

void Press(QAccessibleInterface* item, const QString& action) {
    ASSERT_NE(item->actionInterface(), nullptr);
    ASSERT_TRUE(item->actionInterface()->actionNames().contains(action));
    item->actionInterface()->doAction(action);
}

} // namespace

TEST(MiniHtmlReading, WordsLinesAndAnchorsOfACard) {
    const MiniHtmlReading card = ReadMiniHtml(kCard);
    EXPECT_EQ(card.text, "Хлебозавод\nСтатья\nСайт bread.example\nТелефоны 22-33-44 & 22-33-45");
    EXPECT_EQ(card.anchors, QStringList({"Хлебозавод", "Статья", "bread.example"}));

    const MiniHtmlReading firm = ReadMiniHtml(kFirmLine);
    EXPECT_EQ(firm.text, "Аптека «Здоровье»") << "a logo without a meaning says nothing";
    EXPECT_EQ(firm.anchors, QStringList({"Аптека «Здоровье»", "Аптека «Здоровье»"}))
        << "the logo link is named like the name link to the same place";
    EXPECT_EQ(ReadMiniHtml("<a href=\"x\"><img src=\"logo\"></a> <a href=\"y\">другое</a>").anchors,
              QStringList({"", "другое"}));
}

TEST(MiniHtmlReading, AnAnchorLeftOpenStillCountsAndPlainTextIsKept) {
    EXPECT_EQ(ReadMiniHtml("<a href=\"x\">один<a href=\"y\">два").anchors, QStringList({"один", "два"}));
    EXPECT_EQ(ReadMiniHtml("  просто   текст ").text, "просто текст");
    EXPECT_TRUE(ReadMiniHtml("<hr><br>").text.isEmpty());
}

TEST(HtmlListReader, TheListHasItsLinesAsNamedChildren) {
    ReaderWorld world;
    ASSERT_NE(world.reader, nullptr);
    EXPECT_EQ(world.reader->role(), QAccessible::List);
    EXPECT_EQ(world.reader->text(QAccessible::Name), "Организации");
    ASSERT_EQ(world.reader->childCount(), 3);
    EXPECT_EQ(world.line(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(world.line(0)->text(QAccessible::Name), "Аптека «Здоровье»");
    EXPECT_TRUE(world.line(1)->text(QAccessible::Name).startsWith("Хлебозавод\nСтатья"));
    EXPECT_EQ(world.line(2)->text(QAccessible::Name), "Третья строка");
    EXPECT_EQ(world.line(1)->parent(), world.reader);
    EXPECT_EQ(world.reader->indexOfChild(world.line(2)), 2);
    EXPECT_EQ(world.reader->child(3), nullptr);

    const QRect lineOnScreen = world.line(1)->rect();
    EXPECT_EQ(lineOnScreen.height(), world.list.ItemHeight(1));
    EXPECT_TRUE(world.reader->rect().contains(lineOnScreen.center()));
    EXPECT_EQ(world.reader->childAt(lineOnScreen.center().x(), lineOnScreen.center().y()), world.line(1));
}

TEST(HtmlListReader, TheSelectedLineIsMarkedSelected) {
    ReaderWorld world;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(world.line(i)->state().selected) << i;
    world.list.SetItemIndex(1);
    EXPECT_TRUE(world.line(1)->state().selected);
    EXPECT_FALSE(world.line(0)->state().selected);
    EXPECT_TRUE(world.line(0)->state().selectable);
}

TEST(HtmlListReader, AnchorsAreLinksAndPressingOneClicksIt) {
    ReaderWorld world;
    std::vector<QUrl> opened;
    world.list.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
    QSignalSpy clicks(&world.list, &THTMListBox::AnchorClick);
    QAccessibleInterface* card = world.line(1);
    ASSERT_EQ(card->childCount(), 3);
    QAccessibleInterface* site = card->child(2);
    EXPECT_EQ(site->role(), QAccessible::Link);
    EXPECT_EQ(site->text(QAccessible::Name), "bread.example");
    EXPECT_EQ(site->text(QAccessible::Description), "http://bread.example");
    EXPECT_EQ(card->child(1)->text(QAccessible::Name), "Статья");
    EXPECT_EQ(site->parent(), card);
    EXPECT_TRUE(card->rect().contains(site->rect()));
    EXPECT_EQ(card->childAt(site->rect().center().x(), site->rect().center().y()), site);

    Press(site, QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(clicks.isEmpty()) << "the click waits for the event loop, so the reader's call returns first";
    ASSERT_TRUE(clicks.wait(2000));
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 1);
    EXPECT_EQ(clicks.at(0).at(1).toString(), "http://bread.example");
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl("http://bread.example")});
}

TEST(HtmlListReader, PressingALineIsAClickOnIt) {
    ReaderWorld world;
    world.list.resize(300, 60); // the third line is scrolled out of view
    QSignalSpy downs(&world.list, &THTMListBox::MouseDown);
    Press(world.line(2), QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(downs.wait(2000));
    const QPoint at = downs.at(0).at(2).toPoint();
    EXPECT_EQ(world.list.ItemAtPos(at), 2);
    EXPECT_FALSE(world.line(2)->state().offscreen) << "pressed, the line is scrolled into view";
}

TEST(HtmlListReader, ShowMenuOpensTheListsMenuOnTheLine) {
    ReaderWorld world;
    QMenu menu;
    menu.addAction("Добавить в избранное");
    world.list.PopupMenu = &menu;
    QSignalSpy downs(&world.list, &THTMListBox::MouseDown);
    Press(world.line(0), QAccessibleActionInterface::showMenuAction());
    ASSERT_TRUE(downs.wait(2000));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(world.list.ItemAtPos(downs.at(0).at(2).toPoint()), 0);
    menu.close();
}

TEST(HtmlListReader, NothingStaleAfterTheListChanges) {
    ReaderWorld world;
    QAccessibleInterface* third = world.line(2);
    QAccessibleInterface* firstAnchor = world.line(0)->child(0);
    world.list.Clear();
    EXPECT_EQ(world.reader->childCount(), 0);
    EXPECT_FALSE(third->isValid());
    EXPECT_TRUE(third->text(QAccessible::Name).isEmpty());
    EXPECT_FALSE(firstAnchor->isValid());
    EXPECT_EQ(world.reader->indexOfChild(third), -1);

    world.list.Add("<a href=\"A5\">ул. Ленина, 5</a>");
    ASSERT_EQ(world.reader->childCount(), 1);
    EXPECT_EQ(world.line(0)->text(QAccessible::Name), "ул. Ленина, 5");
    EXPECT_EQ(world.line(0)->child(0)->text(QAccessible::Description), "A5");
}
