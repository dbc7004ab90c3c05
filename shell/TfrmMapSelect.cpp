#include "TfrmMapSelect.h"

#include "EditionChoice.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

TfrmMapSelect* frmMapSelect = nullptr;

namespace {

constexpr int kEditionRole = Qt::UserRole;

} // namespace

TfrmMapSelect::TfrmMapSelect(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle("Вариндел. Доступные карты");
    setFixedSize(396, 251);

    Label1 = new QLabel("Выберите карту", this);
    Label1->setGeometry(8, 8, 380, 16);
    lbMaps = new QListWidget(this);
    lbMaps->setObjectName("lbMaps");
    lbMaps->setGeometry(8, 28, 380, 160);
    lDescription = new QLabel(this);
    lDescription->setObjectName("lDescription");
    lDescription->setGeometry(8, 194, 380, 16);
    btLoadMap = new QPushButton("Загрузить", this);
    btLoadMap->setObjectName("btLoadMap");
    btLoadMap->setGeometry(226, 218, 75, 25);
    btLoadMap->setDefault(true);
    btCancel = new QPushButton("Отмена", this);
    btCancel->setObjectName("btCancel");
    btCancel->setGeometry(313, 218, 75, 25);

    connect(btLoadMap, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbMaps, &QListWidget::itemDoubleClicked, this, &TfrmMapSelect::lbMapsDblClick);
    // Service runs when a key reaches the list (before the key moves the
    // selection) and after a mouse press selected an item. It also runs once
    // the selection has actually moved, so that the description never lags
    // one item behind the selection after an arrow key.
    connect(lbMaps, &QListWidget::pressed, this, &TfrmMapSelect::Service);
    connect(lbMaps, &QListWidget::currentRowChanged, this, &TfrmMapSelect::Service);
    lbMaps->installEventFilter(this);

    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmMapSelect::FormCreate()
{
    for (const TEditionItem& item : AvailableEditions()) {
        auto* entry = new QListWidgetItem(item.name, lbMaps);
        entry->setData(kEditionRole, item.edition);
    }
    if (lbMaps->count() > 0)
        lbMaps->setCurrentRow(0);
    Service();
}

int TfrmMapSelect::SelectedEdition() const
{
    const QListWidgetItem* item = lbMaps->currentItem();
    return item ? item->data(kEditionRole).toInt() : 0;
}

void TfrmMapSelect::Service()
{
    const TEditionService state = EditionService(lbMaps->count() > 0 ? SelectedEdition() : 0);
    btLoadMap->setEnabled(state.loadEnabled);
    lDescription->setText(state.description);
}

int TfrmMapSelect::ShowModal()
{
    return exec() == QDialog::Accepted ? SelectedEdition() : 0;
}

void TfrmMapSelect::lbMapsDblClick()
{
    if (btLoadMap->isEnabled())
        btLoadMap->click();
}

bool TfrmMapSelect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbMaps && event->type() == QEvent::KeyPress)
        Service();
    return QDialog::eventFilter(watched, event);
}
