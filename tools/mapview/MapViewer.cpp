#include "MapViewer.h"

#include <QKeyEvent>
#include <QVBoxLayout>

MapViewer::MapViewer()
    : map_(new TDataMap(this)), status_(new QLabel(this)), overviewWindow_(new QWidget(this, Qt::Tool))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(map_, 1);
    layout->addWidget(status_);
    overviewWindow_->setWindowTitle(QStringLiteral("Миникарта"));
    overviewWindow_->resize(230, 170);
    auto* overviewLayout = new QVBoxLayout(overviewWindow_);
    overviewLayout->setContentsMargins(0, 0, 0, 0);
    auto* overview = new TSmallPreView(overviewWindow_);
    overviewLayout->addWidget(overview);
    map_->SetSmallView(overview);
    map_->OnChangeScale = [this] { showStatus(); };
    map_->OnMouseMove = [this](int, int) { showStatus(); };
    map_->OnMeasure = [this](double distance, double segment) {
        status_->setText(QStringLiteral("Расстояние: %1 м Сегмент: %2 м").arg(distance, 0, 'f', 1).arg(segment, 0, 'f', 1));
    };
    map_->OnAfterLocate = [this] {
        const TPMXMapObjectMem& object = map_->CurrentObject();
        status_->setText(QStringLiteral("Объект %1 (тип %2) %3 %4").arg(object.ID).arg(object.ObjType).arg(object.Street, object.House));
        map_->Risovan();
    };
    setWindowTitle(QStringLiteral("Просмотр карты"));
    map_->setFocus();
}

void MapViewer::showStatus()
{
    status_->setText(QStringLiteral("Масштаб: %1  Курсор: x=%2 y=%3  [+/- масштаб, стрелки, Home, 3 — объём, N — номера домов, "
                                    "F1..F4 — инструменты, M — миникарта]")
                         .arg(map_->GetScale(), 0, 'f', 1)
                         .arg(map_->GetMouseX(), 0, 'f', 1)
                         .arg(map_->GetMouseY(), 0, 'f', 1));
}

void MapViewer::zoomBy(double factor) { map_->SetScale(map_->GetScale() * factor); }

void MapViewer::panBy(double dx, double dy)
{
    const double metres = map_->width() / 4.0 / map_->view().pixelsPerMetre();
    map_->SetXWind(map_->GetXWind() + dx * metres);
    map_->SetYWind(map_->GetYWind() + dy * metres);
}

void MapViewer::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomBy(1.5); break;
    case Qt::Key_Minus: zoomBy(1 / 1.5); break;
    case Qt::Key_Left: panBy(-1, 0); break;
    case Qt::Key_Right: panBy(1, 0); break;
    case Qt::Key_Up: panBy(0, 1); break;
    case Qt::Key_Down: panBy(0, -1); break;
    case Qt::Key_Home: map_->showAll(); break;
    case Qt::Key_3: map_->SetView3D(!map_->options().View3D); break;
    case Qt::Key_N: map_->SetMpNumberDom(!map_->mpNumberDom()); break;
    case Qt::Key_F1: map_->SetInstrument(inPointer); break;
    case Qt::Key_F2: map_->SetInstrument(inDrag); break;
    case Qt::Key_F3: map_->SetInstrument(inMeasure); break;
    case Qt::Key_F4: map_->SetInstrument(inScale); break;
    case Qt::Key_M: overviewWindow_->setVisible(!overviewWindow_->isVisible()); break;
    default: QWidget::keyPressEvent(event); return;
    }
    showStatus();
}
