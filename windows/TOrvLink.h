// A link label: blue, underlined text with the hand cursor that opens its
// web or mail address in the user's browser or mail program when clicked.
#pragma once

#include <QLabel>
#include <QUrl>

class TOrvLink : public QLabel {
    Q_OBJECT
public:
    explicit TOrvLink(QWidget* parent = nullptr);

    // The address the link opens: a web address with or without its scheme
    // ("www.varindel.ru", "http://..."), or a mail address with or without
    // "mailto:". The text shown is set apart with setText; when it is empty
    // the address itself is shown.
    void SetLink(const QString& address);
    const QString& Link() const { return link_; }

    // Opens the address; a failure is shown to the user in a message box.
    void Execute();

signals:
    void LinkClicked(const QUrl& url);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString link_;
};

// The URL an address of a link label opens: "mailto:" for a mail address,
// "http://" for a web address written without a scheme; invalid for a blank one.
QUrl LinkTarget(const QString& address);
