#pragma once

#include <QDialog>

class TfrmSendNote : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSendNote(QWidget* parent = nullptr);
};

extern TfrmSendNote* frmSendNote;
