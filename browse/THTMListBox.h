// A list box whose items are lines of mini-HTML mark-up.
#pragma once

#include <QAbstractScrollArea>
#include <QStringList>

class TPictureContainer;

class THTMListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit THTMListBox(QWidget* parent = nullptr);

    // Pictures that IMG tags of the items name.
    TPictureContainer* PictureContainer = nullptr;

    void BeginUpdate();
    void EndUpdate();
    void Clear();
    int Count() const;
    int Add(const QString& markup);
    QString Item(int index) const;
    void SetItem(int index, const QString& markup);
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The item under a point of the viewport, -1 when none.
    int ItemAtPos(QPoint pos) const;

signals:
    void AnchorClick(int index, const QString& href);

private:
    QStringList items_;
    int itemIndex_ = -1;
    int updateLevel_ = 0;
};
