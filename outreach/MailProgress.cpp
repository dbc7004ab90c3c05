#include "MailProgress.h"

#include "SmtpTransport.h"
#include "TfrmProgress.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace {

int GaugeValue(qint64 count)
{
    return static_cast<int>(std::clamp<qint64>(count, 0, std::numeric_limits<int>::max()));
}

void Begin(TProgressStyle style, qint64 total)
{
    if (!frmProgress)
        return;
    frmProgress->setWindowTitle(QStringLiteral("Отправка"));
    frmProgress->lCont->clear();
    frmProgress->SetMax(style == TProgressStyle::Report ? kReportGaugeMaximum : GaugeValue(total));
    frmProgress->show();
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

void End()
{
    if (!frmProgress)
        return;
    frmProgress->gProgress->setValue(0);
    frmProgress->close();
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

void ConnectSendProgress(TSmtpTransport* transport, TProgressStyle style)
{
    QObject::connect(transport, &TSmtpTransport::WorkBegin, transport, [style](qint64 total) { Begin(style, total); });
    QObject::connect(transport, &TSmtpTransport::Work, transport, [style](qint64 count) { Advance(style, count); });
    QObject::connect(transport, &TSmtpTransport::WorkEnd, transport, [] { End(); });
}
