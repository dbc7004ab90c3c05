#include "TfrmSettings.h"

#include "MapEngine.h"
#include "Minireg.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmSettings* frmSettings = nullptr;

void LoadSettingsFromReg(MapEngine& map) {
    if (!RegValueExists(HKEY_CURRENT_USER, kView3DRegPath))
        return;
    std::uint32_t value = 0;
    if (!RegGetDWORD(HKEY_CURRENT_USER, kView3DRegPath, value))
        return;
    if (value == 1)
        map.SetView3D(true);
    else if (value == 0)
        map.SetView3D(false);
}

void SaveSettingsToReg(const MapEngine& map) {
    RegSetDWORD(HKEY_CURRENT_USER, kView3DRegPath, map.options().View3D ? 1 : 0);
}

TfrmSettings::TfrmSettings(QWidget* parent)
    : QDialog(parent), pcSettings(new QTabWidget(this)), tsView(new QWidget),
      gbMap(new QGroupBox(QStringLiteral("Карта"), tsView)),
      chbView3D(new QCheckBox(QStringLiteral("3D вид"), gbMap)),
      btOk(new QPushButton(QStringLiteral("OK"), this)),
      btCancel(new QPushButton(QStringLiteral("Отмена"), this)),
      btApply(new QPushButton(QStringLiteral("Применить"), this)) {
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setMinimumSize(320, 350);
    resize(320, 350);

    auto* groupLayout = new QVBoxLayout(gbMap);
    groupLayout->addWidget(chbView3D);
    auto* pageLayout = new QVBoxLayout(tsView);
    pageLayout->addWidget(gbMap);
    pageLayout->addStretch();
    pcSettings->addTab(tsView, QStringLiteral("Вид"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOk);
    buttons->addWidget(btCancel);
    buttons->addWidget(btApply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcSettings);
    layout->addLayout(buttons);

    btOk->setDefault(true);
    connect(chbView3D, &QCheckBox::clicked, this, &TfrmSettings::AnyChange);
    connect(btApply, &QPushButton::clicked, this, &TfrmSettings::btApplyClick);
    connect(btOk, &QPushButton::clicked, this, &TfrmSettings::btOkClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// Coming back from minimised is a spontaneous show of a dialog that stayed
// open: it keeps its place and the change the user has not applied yet.
void TfrmSettings::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnActiveWindow(this);
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmSettings::FormShow() {
    btApply->setEnabled(false);
    chbView3D->setChecked(map_ && map_->options().View3D);
}

void TfrmSettings::AnyChange() {
    btApply->setEnabled(true);
}

void TfrmSettings::btApplyClick() {
    if (map_ && chbView3D->isChecked() != map_->options().View3D)
        map_->SetView3D(chbView3D->isChecked());
    btApply->setEnabled(false);
}

void TfrmSettings::btOkClick() {
    if (btApply->isEnabled())
        btApplyClick();
    accept();
}
