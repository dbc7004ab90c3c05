#pragma once

#include <QDialog>

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget* parent = nullptr);
};

extern TfrmProgress* frmProgress;
