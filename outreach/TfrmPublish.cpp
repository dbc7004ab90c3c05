#include "TfrmPublish.h"

#include "MailEnvironment.h"
#include "MailSending.h"
#include "MailWindows.h"

#include "Datamodule.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPublish* frmPublish = nullptr;

TfrmPublish::TfrmPublish(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmPublish"));
    setWindowTitle(QStringLiteral("Отправить заявку "));
    setFixedSize(461, 332);
    buildControls();
    connect(btSend, &QPushButton::clicked, this, &TfrmPublish::btSendClick);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

namespace {

QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& caption, const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    auto* label = new QLabel(caption);
    label->setWordWrap(true);
    label->setBuddy(edit);
    grid->addWidget(label, row * 2, column);
    grid->addWidget(edit, row * 2 + 1, column);
    return edit;
}

} // namespace

// Two columns: the person and the firm's contacts on the left, what the firm
// does and its description on the right, the buttons under both.
void TfrmPublish::buildControls()
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(12);
    edNameFirm = AddField(grid, 0, 0, QStringLiteral("Название организации*"), "edNameFirm");
    edFIO = AddField(grid, 1, 0, QStringLiteral("Фио*"), "edFIO");
    edPhone = AddField(grid, 2, 0, QStringLiteral("Телефон"), "edPhone");
    edAddr = AddField(grid, 3, 0, QStringLiteral("Адрес организации"), "edAddr");
    edSite = AddField(grid, 4, 0, QStringLiteral("Сайт"), "edSite");
    edMail = AddField(grid, 5, 0, QStringLiteral("Электронный адрес"), "edMail");
    edKindAct = AddField(grid, 0, 1, QStringLiteral("Виды деятельности (максимум - 3 категории)*"), "edKindAct");

    MNote = new QPlainTextEdit;
    MNote->setObjectName(QStringLiteral("MNote"));
    MNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MNote->setTabChangesFocus(true);
    auto* noteLabel = new QLabel(QStringLiteral("Краткое описание(инфо)*"));
    noteLabel->setBuddy(MNote);
    grid->addWidget(noteLabel, 2, 1);
    grid->addWidget(MNote, 3, 1, 9, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    btSend = new QPushButton(QStringLiteral("Отправить"));
    btSend->setObjectName(QStringLiteral("btSend"));
    btSend->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Закрыть"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btSend);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(edNameFirm, edFIO);
    setTabOrder(edFIO, edPhone);
    setTabOrder(edPhone, edAddr);
    setTabOrder(edAddr, edSite);
    setTabOrder(edSite, edMail);
    setTabOrder(edMail, edKindAct);
    setTabOrder(edKindAct, MNote);
    setTabOrder(MNote, btSend);
    setTabOrder(btSend, BitBtn2);
}

TPublishFields TfrmPublish::Fields() const
{
    return {edNameFirm->text(), edFIO->text(),  edPhone->text(),   edAddr->text(),
            edSite->text(),     edMail->text(), edKindAct->text(), MNote->toPlainText()};
}

void TfrmPublish::btSendClick()
{
    if (!btSend->isEnabled())
        return;
    const TPublishFields fields = Fields();
    const QStringList problems = PublishValidationMessages(fields);
    for (const QString& problem : problems)
        ShowMailMessage({this, TMessageIcon::Error, windowTitle(), problem});
    if (!problems.isEmpty())
        return;

    btSend->setEnabled(false);
    TMailMessage message;
    message.Body = PublishBody(fields, CollectSystemFacts(MailEnvironment().VersionProgram, Res));
    message.Subject = PublishSubject(QDate::currentDate());
    StartSending(this, message, TProgressStyle::Form,
                 [this](bool ok, const QString& error) { sendFinished(ok, error); });
}

// A failed send leaves the window open with everything the user typed, so
// that the request can go again once the connection is back.
void TfrmPublish::sendFinished(bool ok, const QString& error)
{
    ShowMailMessage({this, TMessageIcon::None, ApplicationTitle(), ok ? kSendAccepted : SendFailureText(error)});
    btSend->setEnabled(true);
    if (ok)
        done(QDialog::Accepted);
    emit SendFinished(ok);
}

void TfrmPublish::showEvent(QShowEvent* event)
{
    CentreOnMainWindow(this);
    QDialog::showEvent(event);
}
