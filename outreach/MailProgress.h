// The progress window during a send. The mail forms let the gauge run to the
// size the transport announces; the error report starts from 100000 and
// raises the maximum when more goes out, and writes the count in words.
#pragma once

#include <QString>

class TSmtpTransport;

enum class TProgressStyle { Form, Report };

inline constexpr int kReportGaugeMaximum = 100000;

// The gauge maximum once `count` bytes went out under `maximum`.
int RaisedMaximum(qint64 count, int maximum);
// "Передано <count> из <maximum>".
QString TransferredText(qint64 count, int maximum);

// Drives frmProgress from the transport's work signals (nothing when the
// progress window does not exist).
void ConnectSendProgress(TSmtpTransport* transport, TProgressStyle style);
