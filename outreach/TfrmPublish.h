#pragma once

#include <QDialog>

class TfrmPublish : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPublish(QWidget* parent = nullptr);
};

extern TfrmPublish* frmPublish;
