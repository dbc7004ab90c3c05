#include "MailProgress.h"

#include "SmtpTransport.h"
#include "TfrmProgress.h"

#include <QLabel>
#include <QProgressBar>

#include <QPointer>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

int GaugeValue(qint64 count)
{
    return static_cast<int>(std::clamp<qint64>(count, 0, std::numeric_limits<int>::max()));
}

void Begin(TProgressStyle style, qint64 total)
{
    if (!frmProgress)
        return;
    frmProgress->Hold();
    frmProgress->setWindowTitle(QStringLiteral("Отправка"));
    frmProgress->lCont->clear();
    frmProgress->SetMax(style == TProgressStyle::Report ? kReportGaugeMaximum : GaugeValue(total));
}

void Advance(TProgressStyle style, qint64 count)
{
    if (!frmProgress)
        return;
    QProgressBar* gauge = frmProgress->gProgress;
    if (style == TProgressStyle::Report) {
        gauge->setMaximum(RaisedMaximum(count, gauge->maximum()));
        frmProgress->lCont->setText(TransferredText(count, gauge->maximum()));
    }
    gauge->setValue(std::min(GaugeValue(count), gauge->maximum()));
}

void End(QPointer<TfrmProgress>& held)
{
    if (!held)
        return;
    held->gProgress->setValue(0);
    std::exchange(held, nullptr)->Release();
}

} // namespace

int RaisedMaximum(qint64 count, int maximum)
{
    return count > maximum ? GaugeValue(count) : maximum;
}

QString TransferredText(qint64 count, int maximum)
{
    return QStringLiteral("Передано %1 из %2").arg(count).arg(maximum);
}

// The window a send holds is released when the send ends, and also when the
// transport goes away before it could say so.
void ConnectSendProgress(TSmtpTransport* transport, TProgressStyle style)
{
    auto held = std::make_shared<QPointer<TfrmProgress>>();
    QObject::connect(transport, &TSmtpTransport::WorkBegin, transport, [style, held](qint64 total) {
        End(*held);
        Begin(style, total);
        *held = frmProgress;
    });
    QObject::connect(transport, &TSmtpTransport::Work, transport, [style](qint64 count) { Advance(style, count); });
    QObject::connect(transport, &TSmtpTransport::WorkEnd, transport, [held] { End(*held); });
    QObject::connect(transport, &QObject::destroyed, [held] { End(*held); });
}
