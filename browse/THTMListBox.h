// A list box whose items are lines of mini-HTML mark-up (MiniHtml.h). Each
// item is as tall as its content; anchors are underlined and clickable,
// "http://" and "mailto:" anchors open in the desktop's browser and mail
// program. The selection is kept but not drawn.
//
// Layouts are made when an item is first needed at the current width and
// kept until the item or the width changes, so long lists scroll without
// laying anything out again; only the visible items are painted.
#pragma once

#include "MiniHtml.h"

#include <QAbstractScrollArea>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <vector>

class QMenu;
class TPictureContainer;

class THTMListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit THTMListBox(QWidget* parent = nullptr);

    // Pictures that IMG tags of the items name.
    TPictureContainer* PictureContainer = nullptr;
    // Shown on a right click when set.
    QMenu* PopupMenu = nullptr;
    // How "http://" and "mailto:" anchors are opened; the desktop's handler by default.
    std::function<void(const QUrl&)> OpenUrl;

    // Repainting and re-measuring wait until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    int Count() const;
    int Add(const QString& markup);
    QString Item(int index) const;
    void SetItem(int index, const QString& markup);
    void Put(int index, const QString& markup) { SetItem(index, markup); }
    void Delete(int index);
    void Assign(const QStringList& items);
    QStringList Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The item under a point of the viewport; -1 below the last item (or,
    // with existingOnly false, the last item's index + 1 there).
    int ItemAtPos(QPoint pos, bool existingOnly = true) const;
    // Where an item lies in the viewport now.
    QRect ItemRect(int index) const;
    int ItemHeight(int index) const;
    // The href of the anchor under a viewport point, empty when none.
    QString AnchorAtPos(QPoint pos, int* index = nullptr) const;
    // Scrolls so that the item is visible.
    void ScrollToItem(int index);
    // The anchors of an item, in order of appearance, and where one lies in the viewport now.
    int AnchorCount(int index) const;
    QRect AnchorRect(int index, int anchor) const;
    // What a click does: on an anchor (opens "http://" and "mailto:" ones,
    // then AnchorClick), and on an item (MouseDown at the item's top left).
    void ClickAnchor(int index, int anchor);
    void PressItem(int index);

signals:
    void AnchorClick(int index, const QString& href);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Hit {
        int item = -1;
        int anchor = -1;
        bool operator==(const Hit&) const = default;
    };

    const MiniHtmlLayout& layoutOf(int index) const;
    void ensureGeometry() const;
    void invalidateAll();
    void itemsChanged();
    void updateScrollBar();
    int layoutWidth() const;
    int topOf(int index) const;
    Hit hitAt(QPoint pos) const;
    void setHover(Hit hit);
    QPixmap picture(const QString& name) const;

    QStringList items_;
    mutable std::vector<std::optional<MiniHtmlLayout>> layouts_;
    mutable std::vector<int> tops_; // item tops in content pixels; one more entry than items
    mutable bool geometryValid_ = false;
    int itemIndex_ = -1;
    int updateLevel_ = 0;
    Hit hover_;
    Hit pressed_;
};
