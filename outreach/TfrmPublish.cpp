#include "TfrmPublish.h"

TfrmPublish* frmPublish = nullptr;

TfrmPublish::TfrmPublish(QWidget* parent)
    : QDialog(parent)
{
}
