#include "TfrmPrintPreView.h"

TfrmPrintPreView* frmPrintPreView = nullptr;

TfrmPrintPreView::TfrmPrintPreView(QWidget* parent)
    : QDialog(parent)
{
}
