#include "TfrmArticle.h"

TfrmArticle* frmArticle = nullptr;

TfrmArticle::TfrmArticle(QWidget* parent)
    : QDialog(parent)
{
}
