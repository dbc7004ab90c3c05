#include "THTMListBox.h"

THTMListBox::THTMListBox(QWidget* parent)
    : QAbstractScrollArea(parent)
{
}

void THTMListBox::BeginUpdate() { ++updateLevel_; }

void THTMListBox::EndUpdate()
{
    if (updateLevel_ > 0 && --updateLevel_ == 0)
        viewport()->update();
}

void THTMListBox::Clear()
{
    items_.clear();
    itemIndex_ = -1;
}

int THTMListBox::Count() const { return int(items_.size()); }

int THTMListBox::Add(const QString& markup)
{
    items_.append(markup);
    return int(items_.size()) - 1;
}

QString THTMListBox::Item(int index) const { return items_.value(index); }

void THTMListBox::SetItem(int index, const QString& markup)
{
    if (index >= 0 && index < items_.size())
        items_[index] = markup;
}

int THTMListBox::ItemIndex() const { return itemIndex_; }

void THTMListBox::SetItemIndex(int index) { itemIndex_ = index; }

int THTMListBox::ItemAtPos(QPoint) const { return -1; }
