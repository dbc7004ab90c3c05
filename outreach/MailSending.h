// One send as the windows start it: the account read from its configuration,
// the message addressed from it, a transport of its own whose progress drives
// frmProgress, and the outcome handed back on the GUI thread.
#pragma once

#include "MailAccount.h"
#include "MailMessage.h"
#include "MailProgress.h"

#include <QString>

#include <functional>

class QObject;

// The message's sender, recipient and blind copy, as the account names them.
void AddressMessage(TMailMessage& message, const TMailAccount& account);

using TSendOutcome = std::function<void(bool ok, const QString& error)>;

// Sends `message` (addressed here) without blocking. The transport belongs to
// `owner`, so closing the program stops a send that is still running; it is
// released once `outcome` has run. A configuration that cannot be read is
// reported through `outcome` at once, like any other failure.
void StartSending(QObject* owner, TMailMessage message, TProgressStyle style, TSendOutcome outcome);
