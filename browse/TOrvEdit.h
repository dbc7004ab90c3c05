// An edit with a placeholder: while it holds no criterion it shows its
// ShadowText as its own text, in grey. Entering the edit takes the shadow
// away; leaving it empty puts the shadow back.
//
// The shadow is real text (the reset buttons of the search pages set the text
// to ShadowText), so Needed tells a typed criterion from the shadow: the text
// counts when it is not blank and differs from the shadow.
#pragma once

#include <QColor>
#include <QLineEdit>

class QFocusEvent;

// Placeholder grey (Delphi colour 8421504) and the black of typed text.
inline const QColor kShadowColor(128, 128, 128);
inline const QColor kTypedColor(0, 0, 0);

// True when the user enters or leaves a control; false while a drop-down
// list or menu of the control opens or closes, and while the whole window
// loses or regains activation (coming back must not wipe a criterion).
bool IsUserFocusMove(const QFocusEvent& event);

class TOrvEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TOrvEdit(QWidget* parent = nullptr);

    const QString& ShadowText() const { return shadowText_; }
    // Sets the placeholder; an edit without a criterion shows the new one.
    void setShadowText(const QString& shadow);

    // True when the edit holds a criterion the user typed.
    bool Needed() const;
    // Puts the placeholder back in grey (what the reset buttons do).
    void ShowShadow();
    bool ShowsShadow() const;

    QColor FontColor() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void followText();
    void setFontColor(const QColor& color);

    QString shadowText_;
};
