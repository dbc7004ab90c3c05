#include "TfrmSettings.h"

TfrmSettings* frmSettings = nullptr;

TfrmSettings::TfrmSettings(QWidget* parent)
    : QDialog(parent)
{
}
