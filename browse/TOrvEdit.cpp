#include "TOrvEdit.h"

#include <QFocusEvent>

bool IsUserFocusMove(const QFocusEvent& event) {
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

TOrvEdit::TOrvEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &TOrvEdit::followText);
    setFontColor(kTypedColor);
}

void TOrvEdit::setShadowText(const QString& shadow) {
    const bool wasShadow = text().isEmpty() || ShowsShadow();
    shadowText_ = shadow;
    // The placeholder is the edit's only caption; a screen reader says it as the name.
    setAccessibleName(shadow);
    if (wasShadow && !hasFocus())
        ShowShadow();
}

bool TOrvEdit::ShowsShadow() const {
    return !shadowText_.isEmpty() && text() == shadowText_;
}

bool TOrvEdit::Needed() const {
    return !text().trimmed().isEmpty() && !ShowsShadow();
}

void TOrvEdit::ShowShadow() {
    setText(shadowText_);
    followText();
}

QColor TOrvEdit::FontColor() const {
    return palette().color(QPalette::Text);
}

void TOrvEdit::focusInEvent(QFocusEvent* event) {
    if (IsUserFocusMove(*event) && ShowsShadow())
        clear();
    QLineEdit::focusInEvent(event);
}

void TOrvEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (IsUserFocusMove(*event) && text().isEmpty())
        ShowShadow();
}

// Grey exactly while the text is the shadow, so the colour never tells the
// user that a criterion is set when it is not.
void TOrvEdit::followText() {
    setFontColor(ShowsShadow() ? kShadowColor : kTypedColor);
}

void TOrvEdit::setFontColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::Text, color);
    setPalette(colors);
}
