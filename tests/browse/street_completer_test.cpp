// The street combos of the two search pages filter their list as the user
// types, forgiving the layout, Latin letters and slips; a street chosen
// from the list becomes the combo's text.
#include "StreetCombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Key presses carrying the letters, as a keyboard of either layout sends them.
void type(QLineEdit* edit, const QString& text) {
    for (const QChar letter : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(letter), Qt::NoModifier);
}

class StreetCompleter : public ::testing::Test {
protected:
    StreetCompleter() {
        combo = new QComboBox(&window);
        street = new StreetCombo(*combo);
        street->SetStreets({"улица Ленина", "улица Мира", "Ленинградский проспект", "Садовая улица"});
        window.resize(300, 60);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        street->Enter(); // what taking the focus does
    }

    QStringList offered() const {
        QStringList streets;
        const QAbstractItemModel* model = combo->completer()->completionModel();
        for (int row = 0; row < model->rowCount(); ++row)
            streets << model->index(row, 0).data().toString();
        return streets;
    }

    QWidget window;
    QComboBox* combo = nullptr;
    StreetCombo* street = nullptr;
};

} // namespace

TEST_F(StreetCompleter, TypingFiltersTheListAsYouType) {
    type(combo->lineEdit(), "Лен");
    EXPECT_EQ(offered(), (QStringList{"улица Ленина", "Ленинградский проспект"}));
    EXPECT_TRUE(combo->completer()->popup()->isVisible());
    type(combo->lineEdit(), "ин");
    EXPECT_EQ(offered(), (QStringList{"улица Ленина", "Ленинградский проспект"}));
    type(combo->lineEdit(), "г");
    EXPECT_EQ(offered(), (QStringList{"Ленинградский проспект", "улица Ленина"}));
}

TEST_F(StreetCompleter, TheOtherLayoutLatinLettersAndSlipsAreForgiven) {
    type(combo->lineEdit(), "Vbhf");
    EXPECT_EQ(offered().value(0), "улица Мира");
    combo->lineEdit()->clear();
    type(combo->lineEdit(), "Sadovaya");
    EXPECT_EQ(offered().value(0), "Садовая улица");
    combo->lineEdit()->clear();
    type(combo->lineEdit(), "Сдовая");
    EXPECT_EQ(offered().value(0), "Садовая улица");
    combo->lineEdit()->clear();
    type(combo->lineEdit(), "щшгнзх");
    EXPECT_TRUE(offered().isEmpty());
    EXPECT_FALSE(combo->completer()->popup()->isVisible());
}

TEST_F(StreetCompleter, AChosenStreetBecomesTheComboText) {
    type(combo->lineEdit(), "Ktybyf");
    QAbstractItemView* popup = combo->completer()->popup();
    ASSERT_TRUE(popup->isVisible());
    popup->setCurrentIndex(combo->completer()->completionModel()->index(0, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(combo->currentText(), "улица Ленина");
    EXPECT_TRUE(StreetGiven(combo->currentText()));
    // The reset button's placeholder is no typing: nothing pops up.
    street->ShowPlaceholder();
    EXPECT_EQ(combo->currentText(), "Улица");
    EXPECT_FALSE(popup->isVisible());
}
