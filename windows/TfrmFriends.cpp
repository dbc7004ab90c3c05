#include "TfrmFriends.h"

#include "TOrvLink.h"
#include "WindowPlacement.h"

#include <QLabel>
#include <QPushButton>

TfrmFriends* frmFriends = nullptr;

TfrmFriends::TfrmFriends(QWidget* parent)
    : QDialog(parent), lnkCity(new TOrvLink(this)),
      lCity(new QLabel(QStringLiteral("Всё про город Ольмарск"), this)), lnkRadio(new TOrvLink(this)),
      lRadio(new QLabel(QStringLiteral("Первое сетевое Радио города Ольмарска"), this)),
      btClose(new QPushButton(QStringLiteral("Закрыть"), this)) {
    setWindowTitle(QStringLiteral("Наши партнеры"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(295, 156);

    lnkCity->setText(QStringLiteral("www.olmarsk.info"));
    lnkCity->SetLink(QStringLiteral("http://www.olmarsk.info"));
    lnkCity->setGeometry(12, 12, 125, 18);
    lCity->setGeometry(140, 12, 145, 48);
    lCity->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lCity->setWordWrap(true);

    lnkRadio->setText(QStringLiteral("radio.olmarsk.info"));
    lnkRadio->SetLink(QStringLiteral("http://radio.olmarsk.info"));
    lnkRadio->setGeometry(12, 64, 125, 18);
    lRadio->setGeometry(140, 64, 145, 48);
    lRadio->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lRadio->setWordWrap(true);

    btClose->setGeometry(108, 120, 80, 28);
    btClose->setDefault(true);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmFriends::showEvent(QShowEvent* event) {
    CentreOnActiveWindow(this);
    QDialog::showEvent(event);
}
