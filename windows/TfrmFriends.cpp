#include "TfrmFriends.h"

TfrmFriends* frmFriends = nullptr;

TfrmFriends::TfrmFriends(QWidget* parent)
    : QDialog(parent)
{
}
