#pragma once

#include <QDialog>

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* parent = nullptr);
};

extern TfrmSettings* frmSettings;
