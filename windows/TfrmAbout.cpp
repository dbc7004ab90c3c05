#include "TfrmAbout.h"

#include "TOrvLink.h"
#include "Vdlutils.h"
#include "WindowPlacement.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

TfrmAbout* frmAbout = nullptr;

namespace {

const QColor kBackground(153, 154, 152);

// The maker's mark: a rounded plate with the letters "Orv".
QPixmap OrvPicture() {
    QPixmap picture(96, 48);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient plate(0, 0, 0, 48);
    plate.setColorAt(0, QColor(58, 92, 148));
    plate.setColorAt(1, QColor(24, 44, 86));
    painter.setBrush(plate);
    painter.setPen(QPen(QColor(230, 230, 230), 2));
    painter.drawRoundedRect(QRectF(1, 1, 94, 46), 10, 10);
    QFont letters(QStringLiteral("DejaVu Serif"), 20, QFont::Bold, true);
    painter.setFont(letters);
    painter.setPen(QColor(255, 214, 80));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Orv"));
    return picture;
}

QLabel* PlacedLabel(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

TOrvLink* PlacedLink(QWidget* parent, const QString& text, const QString& address, const QRect& geometry) {
    auto* link = new TOrvLink(parent);
    link->setText(text);
    link->SetLink(address);
    link->setGeometry(geometry);
    return link;
}

// A link that runs a command of the program instead of opening an address.
QLabel* CommandLink(QWidget* parent, const QString& text, const QRect& geometry,
                    std::function<void()>& command) {
    auto* link =
        new QLabel(QStringLiteral("<a href=\"command\" style=\"color:#0000ff\">%1</a>").arg(text), parent);
    link->setGeometry(geometry);
    link->setCursor(Qt::PointingHandCursor);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(link, &QLabel::linkActivated, link, [&command] {
        if (command)
            command();
    });
    return link;
}

} // namespace

QString AboutUserText(const QString& owner) {
    return QStringLiteral("Пользователь: ") + owner;
}

QString AboutOrganizationText(const QString& organisation) {
    return QStringLiteral("Организация: ") + organisation;
}

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(332, 305);
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setAutoFillBackground(true);

    lProduct = PlacedLabel(this, QStringLiteral("VARINDEL"), QRect(16, 8, 300, 32));
    QFont productFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold);
    lProduct->setFont(productFont);
    lDescription = PlacedLabel(this, QStringLiteral("Информационно-коммерческий справочник Вариндел"),
                               QRect(16, 40, 300, 34));
    lDescription->setWordWrap(true);
    lVersion = PlacedLabel(this, QString(), QRect(16, 76, 300, 18));

    lUserName =
        PlacedLabel(this, AboutUserText(QString::fromStdString(GetUserName())), QRect(16, 100, 300, 18));
    lOrganization = PlacedLabel(this, AboutOrganizationText(QString::fromStdString(GetCompanyName())),
                                QRect(16, 118, 300, 18));

    lnkProduct = PlacedLink(this, QStringLiteral("www.varindel.ru"), QStringLiteral("http://www.varindel.ru"),
                            QRect(16, 146, 175, 18));
    lnkCity = PlacedLink(this, QStringLiteral("www.olmarsk.varindel.ru"),
                         QStringLiteral("http://olmarsk.varindel.ru"), QRect(16, 164, 175, 18));
    lnkMaker = PlacedLink(this, QStringLiteral("www.orv-studio.ru"),
                          QStringLiteral("http://www.orv-studio.ru"), QRect(16, 182, 175, 18));

    lProgrammer = PlacedLabel(this, QStringLiteral("Программист: Роман Орлов"), QRect(16, 208, 190, 18));
    lnkProgrammerMail = PlacedLink(this, QStringLiteral("roman@orv-studio.ru"),
                                   QStringLiteral("mailto:roman@orv-studio.ru"), QRect(16, 226, 180, 18));

    lnkLicense =
        CommandLink(this, QStringLiteral("Лицензионный договор"), QRect(16, 256, 160, 18), OnLicense);
    lnkHelp = CommandLink(this, QStringLiteral("Справка"), QRect(16, 276, 100, 18), OnHelp);

    lMaker = PlacedLabel(this, QStringLiteral("Orv. Студия разработки ПО"), QRect(196, 146, 130, 34));
    lMaker->setWordWrap(true);
    imgOrv = PlacedLabel(this, QString(), QRect(212, 184, 96, 48));
    imgOrv->setPixmap(OrvPicture());

    btCool = new QPushButton(QStringLiteral("Cool!"), this);
    btCool->setGeometry(236, 266, 80, 28);
    btCool->setDefault(true);
    connect(btCool, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmAbout::SetVersionProgram(const QString& versionProgram) {
    lVersion->setText(versionProgram);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    CentreOnActiveWindow(this);
    QDialog::showEvent(event);
}
