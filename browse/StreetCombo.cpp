#include "StreetCombo.h"

#include "TOrvEdit.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>

bool StreetGiven(const QString& comboText) {
    return !comboText.isEmpty() && comboText != kStreetPlaceholder;
}

StreetCombo::StreetCombo(QComboBox& combo) : QObject(&combo), combo_(combo) {
    combo_.setEditable(true);
    combo_.setInsertPolicy(QComboBox::NoInsert);
    combo_.installEventFilter(this);
    connect(&combo_, &QComboBox::editTextChanged, this, &StreetCombo::followText);
    ShowPlaceholder();
}

void StreetCombo::SetStreets(const QStringList& streets) {
    combo_.clear();
    combo_.addItems(streets);
    ShowPlaceholder();
}

void StreetCombo::ShowPlaceholder() {
    combo_.setEditText(kStreetPlaceholder);
    followText();
}

void StreetCombo::Enter() {
    combo_.setEditText(QString());
    followText();
}

void StreetCombo::Exit() {
    if (combo_.currentText().isEmpty())
        ShowPlaceholder();
}

bool StreetCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &combo_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        if (IsUserFocusMove(*static_cast<QFocusEvent*>(event))) {
            if (event->type() == QEvent::FocusIn)
                Enter();
            else
                Exit();
        }
    }
    return QObject::eventFilter(watched, event);
}

void StreetCombo::followText() {
    QPalette colors = combo_.palette();
    colors.setColor(QPalette::Text, StreetGiven(combo_.currentText()) || combo_.currentText().isEmpty()
                                        ? kTypedColor
                                        : kShadowColor);
    combo_.setPalette(colors);
}
