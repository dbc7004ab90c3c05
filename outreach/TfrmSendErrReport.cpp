#include "TfrmSendErrReport.h"

#include "MailEnvironment.h"
#include "MailSending.h"
#include "MailTexts.h"
#include "MailWindows.h"

#include "Datamodule.h"
#include "MapExport.h"
#include "Vdlutils.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

TfrmSendErrReport* frmSendErrReport = nullptr;

namespace {

constexpr int kScreenShotQuality = 20;

const QString kErrorCommentInvitation = QStringLiteral("Пожалуйста, напишите \n"
                                                  "последовательность действий, после \n"
                                                  "которой возникла ошибка");

QLabel* NewLabel(const QString& text, const char* name)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TfrmSendErrReport::TfrmSendErrReport(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSendErrReport"));
    setWindowTitle(QStringLiteral("Отчет об ошибке"));
    setFixedSize(536, 302);
    buildControls();
    connect(btSend, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(btCancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

// The texts on the left, the screenshot in a box on the right, the buttons under it.
void TfrmSendErrReport::buildControls()
{
    Label1 = NewLabel(QStringLiteral("Произошла ошибка. В целях дальнейшего ее устранения, мы просим ВАС "
                                     "отправить нам отчет об этой ошибке"),
                      "Label1");
    Label1->setWordWrap(true);
    Label3 = NewLabel(QStringLiteral("Отправляемая информация:"), "Label3");
    Label4 = NewLabel(QStringLiteral("Дата/время"), "Label4");
    ldt = NewLabel(QString(), "ldt");
    Label5 = NewLabel(QStringLiteral("Текст ошибки"), "Label5");
    lErrText = NewLabel(QString(), "lErrText");
    lErrText->setWordWrap(true);
    lErrText->setMinimumSize(217, 41);
    lErrText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lErrText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2 = NewLabel(QStringLiteral("Комментарий"), "Label2");
    mComment = new QPlainTextEdit(kErrorCommentInvitation);
    mComment->setObjectName(QStringLiteral("mComment"));
    mComment->setFixedSize(201, 89);
    mComment->setTabChangesFocus(true);
    Label2->setBuddy(mComment);

    Image = NewLabel(QString(), "Image");
    Image->setScaledContents(true);
    Image->setFixedSize(269, 213);
    ScrollBox = new QScrollArea;
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFixedSize(273, 217);
    ScrollBox->setWidget(Image);

    btSend = new QPushButton(QStringLiteral("Отправить"));
    btSend->setObjectName(QStringLiteral("btSend"));
    btSend->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Отмена"));
    btCancel->setObjectName(QStringLiteral("btCancel"));

    auto* facts = new QGridLayout;
    facts->setVerticalSpacing(2);
    facts->addWidget(Label4, 0, 0);
    facts->addWidget(ldt, 1, 0);
    facts->addWidget(Label5, 2, 0);
    facts->addWidget(lErrText, 3, 0);
    facts->addWidget(Label2, 4, 0);
    facts->addWidget(mComment, 5, 0);
    facts->setRowStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btSend);
    buttons->addWidget(btCancel);

    auto* left = new QVBoxLayout;
    left->addWidget(Label3);
    left->addLayout(facts, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(ScrollBox);
    right->addStretch();
    right->addLayout(buttons);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(middle, 1);
}

void TfrmSendErrReport::HandleException(const QString& error)
{
    try {
        if (frmSendErrReport) {
            frmSendErrReport->ShowReport(error);
            return;
        }
        ShowMailMessage({nullptr, TMessageIcon::Error, ApplicationTitle(), error});
    } catch (const std::exception& fault) {
        ShowMailMessage({nullptr, TMessageIcon::Error, ApplicationTitle(),
                         QStringLiteral("Неизвестное исключение!\n") + QString::fromUtf8(fault.what())});
    } catch (...) {
        ShowMailMessage({nullptr, TMessageIcon::Error, ApplicationTitle(), QStringLiteral("Неизвестное исключение!")});
    }
}

// An error raised while the report is open shows the newer report in its
// place; the older one, interrupted, sends nothing, so that no report goes twice.
void TfrmSendErrReport::ShowReport(const QString& error)
{
    const int generation = ++generation_;
    ldt->setText(DateTimeText(QDateTime::currentDateTime()));
    screenShot_ = MainWindowScreenShot();
    Image->setPixmap(QPixmap::fromImage(screenShot_));
    lErrText->setText(error);
    if (isVisible())
        hide();
    const int result = exec();
    if (generation != generation_)
        return;
    if (result == QDialog::Accepted)
        sendReport();
}

void TfrmSendErrReport::sendReport()
{
    const TMailEnvironment& environment = MailEnvironment();
    TMailMessage message;
    const QString editionFile = DM ? DM->Con.DatabaseFileName : QString();
    message.Body = ErrorReportBody(CollectSystemFacts(environment.VersionProgram, Res), ldt->text(),
                                   lErrText->text(), mComment->toPlainText(),
                                   ErrorReportFileLine(editionFile, environment.AppDataPath));
    message.Subject = ErrorReportSubject(QString::fromStdString(GetCompName()), QDate::currentDate());

    // Without its screenshot the report is still worth sending; the user is told.
    const QString screenFile = environment.TempPath + QStringLiteral("screen.jpg");
    const Status saved = environment.TempPath.isEmpty()
                             ? Status::failure(QStringLiteral("Временная папка программы недоступна: снимок экрана не сохранён."))
                             : SaveScreenShot(screenShot_, screenFile);
    if (saved)
        message.AttachFile(screenFile, QStringLiteral("image/jpeg"));
    else
        ShowMailMessage({this, TMessageIcon::Error, ApplicationTitle(), saved.error()});

    StartSending(this, message, TProgressStyle::Report,
                 [this](bool ok, const QString& reason) { reportFinished(ok, reason); });
}

void TfrmSendErrReport::reportFinished(bool ok, const QString& error)
{
    if (ok)
        ShowMailMessage({this, TMessageIcon::Information, ApplicationTitle(),
                         kReportSent + '\n' + kThanksForTakingPart});
    else
        ShowMailMessage({this, TMessageIcon::Error, ApplicationTitle(), kReportNotSent + '\n' + error});
    emit ReportFinished(ok);
}

void TfrmSendErrReport::showEvent(QShowEvent* event)
{
    CentreOnMainWindow(this);
    QDialog::showEvent(event);
}

QImage MainWindowScreenShot()
{
    QWidget* mainWindow = MailEnvironment().MainWindow;
    return mainWindow ? GetScreenShot(mainWindow) : QImage();
}

Status SaveScreenShot(const QImage& picture, const QString& fileName)
{
    if (picture.isNull())
        return Status::failure(QStringLiteral("Снимок экрана не получен, отчет отправляется без него."));
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QImageWriter writer(fileName, "jpeg");
    writer.setQuality(kScreenShotQuality);
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        return Status::failure(QStringLiteral("Не удалось сохранить снимок экрана %1: %2").arg(fileName, writer.errorString()));
    return success();
}
