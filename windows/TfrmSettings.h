// The settings dialog: one setting, the three-dimensional map view. The map's
// option is the state; the check box only mirrors it while the dialog is open,
// and a pending change is carried by the enabled "Применить" button alone.
#pragma once

#include <QDialog>

class MapEngine;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QTabWidget;
class QWidget;

// Where the setting lives in the current user's registry.
inline constexpr const char* kView3DRegPath = "Software\\Varindel TLX Company\\3DView";

// Applies the stored setting to the map: 1 turns the 3D view on, 0 off. A
// missing value, a failed read or any other number leaves the map's default.
void LoadSettingsFromReg(MapEngine& map);
// Stores the map's current setting as 1 or 0; a failed write is ignored.
void SaveSettingsToReg(const MapEngine& map);

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* parent = nullptr);

    // The map whose option the dialog edits; handed over by the main window.
    void SetMap(MapEngine* map) { map_ = map; }

    QTabWidget* pcSettings;
    QWidget* tsView;
    QGroupBox* gbMap;
    QCheckBox* chbView3D;
    QPushButton* btOk;
    QPushButton* btCancel;
    QPushButton* btApply;

    void FormShow();
    void AnyChange();
    void btApplyClick();
    void btOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    MapEngine* map_ = nullptr;
};

extern TfrmSettings* frmSettings;
