// An edit that shows a grey placeholder (ShadowText) while it holds no text.
#pragma once

#include <QLineEdit>

class TOrvEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TOrvEdit(QWidget* parent = nullptr);

    QString ShadowText;
    bool Needed = false;
};
