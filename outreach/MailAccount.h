// The account the program sends its mail through and the two mailboxes that
// receive it. The values are compiled in and may be replaced by the system
// configuration file, so that an installation can move to another provider
// without a new build. The password never leaves this structure except
// towards the mail server.
#pragma once

#include "Result.h"

#include <string>

struct TMailAccount {
    std::string Server;
    int Port = 25;
    std::string User;
    std::string Password;
    std::string Sender;    // the account's own mailbox, shown as "Varindel" <Sender>
    std::string Support;   // the publisher's support mailbox: the one recipient
    std::string Developer; // the developer's mailbox: the one blind copy
    std::string CaFile;    // certificates to trust for STARTTLS besides the system's; empty = system only
};

// Names the configuration file instead of the system one (tests, trial installs).
inline constexpr const char* kMailConfigVariable = "VARINDEL_MAIL_CONF";
inline constexpr const char* kSystemMailConfig = "/etc/varindel/mail.conf";

TMailAccount DefaultMailAccount();
std::string MailConfigPath();

// Lines "key = value" (server, port, user, password, sender, support,
// developer, cafile) replace the defaults of `base`; blank lines and lines
// starting with "#" are skipped. An unknown key or a malformed line is an
// error naming its line, so that a typing slip does not go unnoticed; so is a
// server, user or address with a control character, a space or a letter
// beyond ASCII (and an address with "<", ">", ",", ";" or a quote), which
// would reach the commands and headers of the mail.
Result<TMailAccount> ParseMailConfig(const std::string& text, TMailAccount base);

// The defaults overlaid with MailConfigPath() when that file exists.
Result<TMailAccount> LoadMailAccount();
