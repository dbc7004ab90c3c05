#include "TfrmPrintPreView.h"

#include "MapExport.h"
#include "PrintPreviewLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

TfrmPrintPreView* frmPrintPreView = nullptr;

TfrmPrintPreView::TfrmPrintPreView(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("frmPrintPreView");
    setWindowTitle("Предпросмотр");

    buildSettings();
    imgPreView = new QLabel;
    imgPreView->setObjectName("imgPreView");
    picturePane_ = new QScrollArea;
    picturePane_->setFrameShape(QFrame::NoFrame);
    picturePane_->setAlignment(Qt::AlignCenter);
    picturePane_->setWidget(imgPreView);
    buildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pSettings);
    layout->addWidget(picturePane_, 1);
    layout->addWidget(pButtons);

    fillPrinters();
}

void TfrmPrintPreView::buildSettings()
{
    pSettings = new QWidget;
    pSettings->setObjectName("pSettings");
    pSettings->setFixedHeight(kPreviewSettingsHeight);

    auto* printerLabel = new QLabel("Выберите принтер", pSettings);
    printerLabel->setGeometry(8, 8, 280, 16);
    cbPrinters = new QComboBox(pSettings);
    cbPrinters->setObjectName("cbPrinters");
    cbPrinters->setGeometry(8, 28, 280, 26);
    printerLabel->setBuddy(cbPrinters);

    auto* copiesLabel = new QLabel("Количество копий", pSettings);
    copiesLabel->setGeometry(300, 8, 120, 16);
    seCopies = new QSpinBox(pSettings);
    seCopies->setObjectName("seCopies");
    seCopies->setGeometry(300, 28, 90, 26);
    seCopies->setRange(1, 999);
    seCopies->setValue(1);
    copiesLabel->setBuddy(seCopies);
}

void TfrmPrintPreView::buildButtons()
{
    pButtons = new QWidget;
    pButtons->setObjectName("pButtons");
    pButtons->setFixedHeight(kPreviewButtonsHeight);
    auto* layout = new QHBoxLayout(pButtons);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addStretch(1);

    btPrint = new QPushButton("Печать");
    btPrint->setObjectName("btPrint");
    btPrint->setDefault(true);
    btPrint->setAutoDefault(true);
    connect(btPrint, &QPushButton::clicked, this, &TfrmPrintPreView::btPrintClick);
    layout->addWidget(btPrint);

    btCancel = new QPushButton("Отмена");
    btCancel->setObjectName("btCancel");
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(btCancel);
}

void TfrmPrintPreView::fillPrinters()
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) {
        cbPrinters->addItem("В системе принтеры не установлены");
        btPrint->setEnabled(false);
        return;
    }
    cbPrinters->addItems(printers);
    QString current = Printer().printerName();
    if (!printers.contains(current))
        current = QPrinterInfo::defaultPrinterName();
    cbPrinters->setCurrentIndex(std::max(cbPrinters->findText(current), 0));
}

bool TfrmPrintPreView::HasPrinters() const
{
    return btPrint->isEnabled();
}

void TfrmPrintPreView::SetPicture(const QImage& picture)
{
    imgPreView->setPixmap(QPixmap::fromImage(picture));
    imgPreView->adjustSize();
}

void TfrmPrintPreView::btPrintClick()
{
    if (!HasPrinters())
        return;
    Printer().setPrinterName(cbPrinters->currentText());
    ImagePrint(*imgPreView, static_cast<std::uint16_t>(seCopies->value()), true, true, true, logicalDpiX(),
               "Схема проезда");
    accept();
}

void TfrmPrintPreView::showEvent(QShowEvent* event)
{
    fitToPicture();
    QDialog::showEvent(event);
}

void TfrmPrintPreView::fitToPicture()
{
    const QScreen* display = screen();
    const PreviewGeometry placement = PreviewPlacement(imgPreView->size(), frameGeometry().size() - size(),
                                                       display->geometry(), display->availableGeometry());
    resize(placement.client);
    move(placement.frameTopLeft);
}
