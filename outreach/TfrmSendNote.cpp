#include "TfrmSendNote.h"

TfrmSendNote* frmSendNote = nullptr;

TfrmSendNote::TfrmSendNote(QWidget* parent)
    : QDialog(parent)
{
}
