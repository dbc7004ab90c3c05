#pragma once

#include <QDialog>

class TfrmPrintPreView : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintPreView(QWidget* parent = nullptr);
};

extern TfrmPrintPreView* frmPrintPreView;
