// The mini-map: a small tool window over the main window with the overview
// of the whole city, kept in step with the main map by the map itself.
#pragma once

#include <QDialog>
#include <QPointer>

class TDataMap;
class TSmallPreView;

class TfrmMiniMap : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMiniMap(QWidget* parent = nullptr);

    // The map the overview follows; the window is placed centred on that
    // map's window whenever it is shown.
    void SetDataMap(TDataMap* map);

    TSmallPreView* SmallPreView;

signals:
    // Shown or hidden, by the button or by the window's own close box.
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void centreOnMainWindow();

    QPointer<TDataMap> dataMap_;
};

extern TfrmMiniMap* frmMiniMap;
