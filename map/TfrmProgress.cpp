#include "TfrmProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

TfrmProgress* frmProgress = nullptr;

TfrmProgress::TfrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setObjectName("frmProgress");
    setWindowTitle("Отправка");
    setFixedSize(342, 70);

    lCont = new QLabel(this);
    lCont->setObjectName("lCont");
    lCont->setGeometry(11, 8, 318, 16);

    gProgress = new QProgressBar(this);
    gProgress->setObjectName("gProgress");
    gProgress->setGeometry(8, 24, 329, 33);
    gProgress->setRange(0, 100);
    gProgress->setValue(0);
}

void TfrmProgress::SetCaption(const QString& caption, const QString& text)
{
    setWindowTitle(caption);
    lCont->setText(text);
    repaint();
    QCoreApplication::processEvents();
}

void TfrmProgress::SetMax(int n)
{
    gProgress->setValue(0);
    gProgress->setMaximum(n);
}

void TfrmProgress::IncValue()
{
    gProgress->setValue(gProgress->value() + 1);
}

void TfrmProgress::Hold()
{
    ++holds_;
    show();
}

void TfrmProgress::Release()
{
    if (holds_ > 0)
        --holds_;
    if (holds_ == 0)
        close();
}

void TfrmProgress::showEvent(QShowEvent* event)
{
    centreOnOwner();
    QDialog::showEvent(event);
}

// The window stands over the one the user is working in (the main window or
// a mail form); with none, over the middle of the screen.
void TfrmProgress::centreOnOwner()
{
    QWidget* owner = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (owner == this)
        owner = nullptr;
    const QRect area = owner ? owner->frameGeometry() : screen()->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.center() - (frame.center() - frame.topLeft()));
}
