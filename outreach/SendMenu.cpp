#include "SendMenu.h"

#include "TfrmPublish.h"
#include "TfrmSendNote.h"

#include <QAction>
#include <QMenu>

#include <array>

namespace {

struct TNoteItem {
    const char* Name;
    const char* Caption;
};

// In the order of their tags, 0 to 5.
constexpr std::array<TNoteItem, 6> kNoteItems{{{"NPoj", "Отправить пожелание"},
                                               {"NPredl", "Отправить предложение"},
                                               {"NNote", "Отправить замечание"},
                                               {"NNeto4n", "Отправить неточность"},
                                               {"NErr", "Отправить ошибку"},
                                               {"NAnoth", "Другое"}}};

int KindOfName(const QString& name)
{
    for (std::size_t kind = 0; kind < kNoteItems.size(); ++kind)
        if (name == QLatin1String(kNoteItems[kind].Name))
            return static_cast<int>(kind);
    return -1;
}

} // namespace

QMenu* CreatePmSend(QWidget* parent)
{
    auto* pmSend = new QMenu(parent);
    pmSend->setObjectName(QStringLiteral("pmSend"));
    QAction* publish = pmSend->addAction(QStringLiteral("Отправить заявку"));
    publish->setObjectName(QStringLiteral("NPublish"));
    // The first letter is the Latin capital C, as on the button's hint.
    QMenu* contact = pmSend->addMenu(QStringLiteral("Cвязь с Варинделом"));
    contact->menuAction()->setObjectName(QStringLiteral("C1"));
    for (std::size_t kind = 0; kind < kNoteItems.size(); ++kind) {
        QAction* item = contact->addAction(QString::fromUtf8(kNoteItems[kind].Caption));
        item->setObjectName(QLatin1String(kNoteItems[kind].Name));
        item->setData(static_cast<int>(kind));
    }
    ConnectPmSend(pmSend);
    return pmSend;
}

namespace {

bool IsNoteItem(const QAction* item)
{
    bool isNumber = false;
    item->data().toInt(&isNumber);
    return isNumber || KindOfName(item->objectName()) >= 0;
}

} // namespace

void ConnectPmSend(QMenu* pmSend)
{
    // The items may belong to any object; what counts is the menu they are shown in.
    for (QAction* item : pmSend->actions()) {
        if (item->menu())
            ConnectPmSend(item->menu());
        else if (item->objectName() == QLatin1String("NPublish"))
            QObject::connect(item, &QAction::triggered, item, [] { NPublishClick(); });
        else if (IsNoteItem(item))
            QObject::connect(item, &QAction::triggered, item, [item] { NAnothClick(item); });
    }
}

void NPublishClick()
{
    if (frmPublish)
        frmPublish->exec();
}

void NAnothClick(QAction* item)
{
    bool isNumber = false;
    const int tag = item->data().toInt(&isNumber);
    if (frmSendNote)
        frmSendNote->SndNote(isNumber ? tag : KindOfName(item->objectName()));
}
