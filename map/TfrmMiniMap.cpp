#include "TfrmMiniMap.h"

#include "TDataMap.h"
#include "TSmallPreView.h"

#include <QShowEvent>
#include <QVBoxLayout>

TfrmMiniMap* frmMiniMap = nullptr;

namespace {
constexpr int kClientWidth = 230;
constexpr int kClientHeight = 170;
} // namespace

TfrmMiniMap::TfrmMiniMap(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      SmallPreView(new TSmallPreView(this))
{
    setWindowTitle("Миникарта");
    setObjectName("frmMiniMap");
    SmallPreView->setObjectName("SmallPreView");
    QPalette white = SmallPreView->palette();
    white.setColor(QPalette::Window, Qt::white);
    SmallPreView->setPalette(white);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SmallPreView);
    setFixedSize(kClientWidth, kClientHeight);
}

void TfrmMiniMap::SetDataMap(TDataMap* map)
{
    if (dataMap_)
        dataMap_->SetSmallView(nullptr);
    dataMap_ = map;
    if (map)
        map->SetSmallView(SmallPreView);
}

void TfrmMiniMap::showEvent(QShowEvent* event)
{
    // A window coming back with its minimised main window is no new showing.
    if (!event->spontaneous())
        centreOnMainWindow();
    QDialog::showEvent(event);
    if (!event->spontaneous())
        emit visibilityChanged(true);
}

void TfrmMiniMap::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit visibilityChanged(false);
}

void TfrmMiniMap::centreOnMainWindow()
{
    const QWidget* main = dataMap_ ? dataMap_->window() : parentWidget();
    if (!main || main == this)
        return;
    const QRect frame = main->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
}
