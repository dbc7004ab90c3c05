#pragma once

#include <QDialog>

class TfrmFriends : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFriends(QWidget* parent = nullptr);
};

extern TfrmFriends* frmFriends;
