#include "TfrmSendErrReport.h"

TfrmSendErrReport* frmSendErrReport = nullptr;

TfrmSendErrReport::TfrmSendErrReport(QWidget* parent)
    : QDialog(parent)
{
}
