#include "TfrmMiniMap.h"

TfrmMiniMap* frmMiniMap = nullptr;

TfrmMiniMap::TfrmMiniMap(QWidget* parent)
    : QDialog(parent)
{
}
