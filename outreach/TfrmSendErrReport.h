#pragma once

#include <QDialog>

class TfrmSendErrReport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSendErrReport(QWidget* parent = nullptr);
};

extern TfrmSendErrReport* frmSendErrReport;
