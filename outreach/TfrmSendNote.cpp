#include "TfrmSendNote.h"

#include "MailEnvironment.h"
#include "MailSending.h"
#include "MailTexts.h"
#include "MailWindows.h"

#include "Datamodule.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSendNote* frmSendNote = nullptr;

namespace {

const QStringList kNoteKinds{QStringLiteral("пожелание"),  QStringLiteral("предложение"),
                             QStringLiteral("замечание"),  QStringLiteral("неточность"),
                             QStringLiteral("ошибка"),     QStringLiteral("другое")};

const QString kWishInvitation = QStringLiteral("Здесь Вы можете написать пожелание, \n"
                                                  "замечание или неточность в программе, а также \n"
                                                  "предложение и отправить разработчикам.");

} // namespace

TfrmSendNote::TfrmSendNote(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSendNote"));
    // The first letter is the Latin capital C, as the product has always spelt it here.
    setWindowTitle(QStringLiteral("Cвязь с варинделом"));
    setFixedSize(420, 251);
    buildControls();
    connect(btSend, &QPushButton::clicked, this, &TfrmSendNote::btSendClick);
    connect(btCancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

void TfrmSendNote::buildControls()
{
    imgVarindellogoleft = new QLabel;
    imgVarindellogoleft->setObjectName(QStringLiteral("imgVarindellogoleft"));
    imgVarindellogoleft->setPixmap(QPixmap(QStringLiteral(":/mail/varindellogoleft.jpg")));
    imgVarindellogoleft->setScaledContents(true);
    imgVarindellogoleft->setFixedWidth(40);

    cbTypes = new QComboBox;
    cbTypes->setObjectName(QStringLiteral("cbTypes"));
    cbTypes->setEditable(true);
    cbTypes->setInsertPolicy(QComboBox::NoInsert);
    cbTypes->addItems(kNoteKinds);
    cbTypes->setCurrentIndex(-1);
    cbTypes->setEditText(QStringLiteral("Выберите из списка"));

    mComment = new QPlainTextEdit(kWishInvitation);
    mComment->setObjectName(QStringLiteral("mComment"));
    mComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mComment->setTabChangesFocus(true);

    eEmail = new QLineEdit;
    eEmail->setObjectName(QStringLiteral("eEmail"));

    btSend = new QPushButton(QStringLiteral("Отправить"));
    btSend->setObjectName(QStringLiteral("btSend"));
    btSend->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Отмена"));
    btCancel->setObjectName(QStringLiteral("btCancel"));

    auto* typesLabel = new QLabel(QStringLiteral("Содержание информации"));
    typesLabel->setBuddy(cbTypes);
    auto* commentLabel = new QLabel(QStringLiteral("Комментарий"));
    commentLabel->setBuddy(mComment);
    auto* emailLabel = new QLabel(QStringLiteral("Ваш e-mail"));
    emailLabel->setBuddy(eEmail);

    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(2);
    fields->addWidget(typesLabel, 0, 0);
    fields->addWidget(cbTypes, 1, 0);
    fields->addWidget(commentLabel, 2, 0);
    fields->addWidget(mComment, 3, 0);
    fields->addWidget(emailLabel, 4, 0);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(eEmail, 1);
    bottom->addSpacing(8);
    bottom->addWidget(btSend);
    bottom->addWidget(btCancel);
    fields->addLayout(bottom, 5, 0);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 8, 8);
    layout->addWidget(imgVarindellogoleft);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 8, 0, 0);
    column->addLayout(fields);
    layout->addLayout(column, 1);

    setTabOrder(mComment, cbTypes);
    setTabOrder(cbTypes, btSend);
    setTabOrder(btSend, btCancel);
    setTabOrder(btCancel, eEmail);
}

void TfrmSendNote::SndNote(int kind)
{
    cbTypes->setCurrentIndex(kind >= 0 && kind < cbTypes->count() ? kind : -1);
    if (isVisible())
        hide();
    if (exec() != QDialog::Accepted)
        return;
    sendNote();
}

void TfrmSendNote::btSendClick()
{
    if (!btSend->isEnabled())
        return;
    if (IsAcceptableEmail(eEmail->text())) {
        done(QDialog::Accepted);
        return;
    }
    ShowMailMessage({this, TMessageIcon::Error, windowTitle(), QStringLiteral("E-mail некорректен")});
}

void TfrmSendNote::sendNote()
{
    btSend->setEnabled(false);
    TMailMessage message;
    message.Body = NoteBody(cbTypes->currentText(), mComment->toPlainText(), eEmail->text(),
                            CollectSystemFacts(MailEnvironment().VersionProgram, Res));
    message.Subject = NoteSubject();
    StartSending(this, message, TProgressStyle::Form,
                 [this](bool ok, const QString& error) { sendFinished(ok, error); });
}

void TfrmSendNote::sendFinished(bool ok, const QString& error)
{
    ShowMailMessage({this, TMessageIcon::None, ApplicationTitle(), ok ? kSendAccepted : SendFailureText(error)});
    btSend->setEnabled(true);
    emit SendFinished(ok);
}

void TfrmSendNote::showEvent(QShowEvent* event)
{
    CentreOnMainWindow(this);
    QDialog::showEvent(event);
}
