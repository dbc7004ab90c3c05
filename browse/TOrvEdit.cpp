#include "TOrvEdit.h"

TOrvEdit::TOrvEdit(QWidget* parent)
    : QLineEdit(parent)
{
}
