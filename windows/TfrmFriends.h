// The partners window: two partner sites, each a link with its description.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TOrvLink;

class TfrmFriends : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFriends(QWidget* parent = nullptr);

    TOrvLink* lnkCity;
    QLabel* lCity;
    TOrvLink* lnkRadio;
    QLabel* lRadio;
    QPushButton* btClose;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TfrmFriends* frmFriends;
