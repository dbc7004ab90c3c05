#include "StreetCombo.h"

#include "TOrvEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QLineEdit>
#include <QStringListModel>

namespace {

// The completer's list stays short enough to read at a glance.
constexpr int kStreetsShown = 50;

} // namespace

bool StreetGiven(const QString& comboText) {
    return !comboText.isEmpty() && comboText != kStreetPlaceholder;
}

StreetCombo::StreetCombo(QComboBox& combo)
    : QObject(&combo), combo_(combo), shown_(new QStringListModel(this)),
      completer_(new QCompleter(shown_, this)) {
    combo_.setEditable(true);
    combo_.setInsertPolicy(QComboBox::NoInsert);
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    combo_.setCompleter(completer_);
    combo_.installEventFilter(this);
    connect(&combo_, &QComboBox::editTextChanged, this, &StreetCombo::followText);
    // Only what the user types filters: the placeholder and a chosen street do not.
    connect(combo_.lineEdit(), &QLineEdit::textEdited, this, &StreetCombo::filterStreets);
    ShowPlaceholder();
}

void StreetCombo::SetStreets(const QStringList& streets) {
    streets_ = StreetMatcher(streets);
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

void StreetCombo::filterStreets(const QString& typed) {
    shown_->setStringList(streets_.Matching(typed, kStreetsShown));
    if (typed.trimmed().isEmpty() || shown_->rowCount() == 0) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void StreetCombo::followText() {
    QPalette colors = combo_.palette();
    colors.setColor(QPalette::Text, StreetGiven(combo_.currentText()) || combo_.currentText().isEmpty()
                                        ? kTypedColor
                                        : kShadowColor);
    combo_.setPalette(colors);
}
