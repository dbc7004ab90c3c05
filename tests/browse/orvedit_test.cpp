// The placeholders of the search fields: the grey shadow text of the edits
// and the "Улица" of the street combos, as the user enters and leaves them.
#include "SearchFields.h"
#include "StreetCombo.h"
#include "TOrvEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <gtest/gtest.h>

namespace {

void focus(QWidget& widget, QEvent::Type type, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent event(type, reason);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(OrvEdit, ShowsItsShadowInGreyAndHoldsNoCriterion) {
    TOrvEdit edit;
    edit.setShadowText("Дом");
    EXPECT_EQ(edit.text(), "Дом");
    EXPECT_EQ(edit.FontColor(), QColor(128, 128, 128));
    EXPECT_FALSE(edit.Needed());

    edit.setText("12");
    EXPECT_TRUE(edit.Needed());
    EXPECT_EQ(edit.FontColor(), QColor(0, 0, 0));

    edit.ShowShadow();
    EXPECT_EQ(edit.text(), "Дом");
    EXPECT_EQ(edit.FontColor(), QColor(128, 128, 128));
    EXPECT_FALSE(edit.Needed());
}

TEST(OrvEdit, BlanksAndTheShadowItselfAreNoCriterion) {
    TOrvEdit edit;
    edit.setShadowText("Телефон");
    edit.setText("   ");
    EXPECT_FALSE(edit.Needed());
    edit.setText("Телефон");
    EXPECT_FALSE(edit.Needed());
    edit.setText(" 21 ");
    EXPECT_TRUE(edit.Needed());
}

TEST(OrvEdit, EnteringTakesTheShadowAwayAndLeavingEmptyPutsItBack) {
    TOrvEdit edit;
    edit.setShadowText("Индекс");
    focus(edit, QEvent::FocusIn);
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(edit.FontColor(), QColor(0, 0, 0));
    focus(edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "Индекс");
    EXPECT_EQ(edit.FontColor(), QColor(128, 128, 128));

    edit.setText("644");
    focus(edit, QEvent::FocusIn);
    focus(edit, QEvent::FocusOut);
    EXPECT_EQ(edit.text(), "644") << "a criterion stays";
}

TEST(OrvEdit, TheWindowLosingAndRegainingActivationChangesNothing) {
    TOrvEdit edit;
    edit.setShadowText("Дом");
    focus(edit, QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(edit.text(), "Дом");
    edit.setText("");
    focus(edit, QEvent::FocusOut, Qt::PopupFocusReason);
    EXPECT_EQ(edit.text(), "");
}

TEST(OrvEdit, SearchFieldsGiveOnlyTheirTypedCriteria) {
    TOrvEdit name, house, phone, postIndex, web, email;
    QComboBox street;
    StreetCombo placeholder(street);
    const TSearchFields fields{&name, &street, &house, &phone, &postIndex, &web, &email};
    SetSearchPlaceholders(fields);
    EXPECT_EQ(name.text(), "Название организации");
    EXPECT_EQ(email.text(), "Электронная почта");

    SearchCriteria none = SearchCriteriaOf(fields);
    EXPECT_FALSE(none.Name || none.Phone || none.Web || none.Email || none.PostIndex || none.Address.Given());

    name.setText("аптека");
    house.setText("21а");
    street.setEditText("Мира");
    const SearchCriteria some = SearchCriteriaOf(fields);
    EXPECT_EQ(some.Name, "аптека");
    EXPECT_EQ(some.Address.Street, "Мира");
    EXPECT_EQ(some.Address.House, "21а");
    EXPECT_FALSE(some.Phone);
}

TEST(StreetComboPlaceholder, GreyUlitsaUntilEnteredAndBackWhenLeftEmpty) {
    QComboBox combo;
    StreetCombo street(combo);
    street.SetStreets({"Ленина", "Мира"});
    EXPECT_EQ(combo.currentText(), "Улица");
    EXPECT_EQ(combo.palette().color(QPalette::Text), QColor(128, 128, 128));
    EXPECT_FALSE(StreetGiven(combo.currentText()));

    combo.setCurrentIndex(1);
    EXPECT_EQ(combo.currentText(), "Мира");
    EXPECT_EQ(combo.palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_TRUE(StreetGiven(combo.currentText()));

    focus(combo, QEvent::FocusIn);
    EXPECT_EQ(combo.currentText(), "") << "entering clears even a chosen street";
    EXPECT_EQ(combo.palette().color(QPalette::Text), QColor(0, 0, 0));
    focus(combo, QEvent::FocusOut);
    EXPECT_EQ(combo.currentText(), "Улица");
    EXPECT_EQ(combo.palette().color(QPalette::Text), QColor(128, 128, 128));

    combo.setEditText("Лен");
    focus(combo, QEvent::FocusOut);
    EXPECT_EQ(combo.currentText(), "Лен");
    street.ShowPlaceholder();
    EXPECT_EQ(combo.currentText(), "Улица");
}

TEST(StreetComboPlaceholder, TheDropDownListOpeningAndClosingIsNoLeaving) {
    QComboBox combo;
    StreetCombo street(combo);
    street.SetStreets({"Ленина", "Мира"});
    focus(combo, QEvent::FocusIn);
    focus(combo, QEvent::FocusOut, Qt::PopupFocusReason);
    EXPECT_EQ(combo.currentText(), "");
    combo.setCurrentIndex(1);
    focus(combo, QEvent::FocusIn, Qt::PopupFocusReason);
    EXPECT_EQ(combo.currentText(), "Мира");
}
