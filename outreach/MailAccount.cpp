#include "MailAccount.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string_view>

TMailAccount DefaultMailAccount()
{
    TMailAccount account;
    account.Server = "mail.varindel.ru";
    account.Port = 25;
    account.User = "vdlmail";
    account.Password = "K7Q2M9XA";
    account.Sender = "vdlmail@varindel.ru";
    account.Support = "support@varindel.ru";
    account.Developer = "dev@orv-studio.ru";
    return account;
}

std::string MailConfigPath()
{
    const char* overridden = std::getenv(kMailConfigVariable);
    return overridden && *overridden ? overridden : kSystemMailConfig;
}

namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParsePort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

// Names and addresses go into the commands to the server and into the
// message headers as they are: a control character there (a CR starts a
// header or a command of its own) or a letter beyond ASCII (which the headers
// cannot carry) is refused, like a space or an angle bracket in an address.
bool IsPlainValue(const std::string& value, std::string_view alsoRefused)
{
    return std::all_of(value.begin(), value.end(), [alsoRefused](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code > 0x20 && code < 0x7F && alsoRefused.find(c) == std::string_view::npos;
    });
}

Status CheckValue(const std::string& key, const std::string& value)
{
    const bool address = key == "sender" || key == "support" || key == "developer";
    if (!address && key != "server" && key != "user")
        return success();
    if (IsPlainValue(value, address ? "<>,;\"" : ""))
        return success();
    return Status::failure(QStringLiteral("значение «%1» содержит недопустимый знак: управляющий знак, пробел, "
                                          "букву не из латиницы или знак, которого не может быть в адресе")
                               .arg(QString::fromStdString(key)));
}

Status Assign(TMailAccount& account, const std::string& key, const std::string& value)
{
    if (Status checked = CheckValue(key, value); !checked)
        return checked;
    if (key == "port") {
        if (!ParsePort(value, account.Port))
            return Status::failure(QStringLiteral("неверный номер порта «%1»").arg(QString::fromStdString(value)));
        return success();
    }
    std::string TMailAccount::*field = nullptr;
    if (key == "server")
        field = &TMailAccount::Server;
    else if (key == "user")
        field = &TMailAccount::User;
    else if (key == "password")
        field = &TMailAccount::Password;
    else if (key == "sender")
        field = &TMailAccount::Sender;
    else if (key == "support")
        field = &TMailAccount::Support;
    else if (key == "developer")
        field = &TMailAccount::Developer;
    else if (key == "cafile")
        field = &TMailAccount::CaFile;
    else
        return Status::failure(QStringLiteral("неизвестный параметр «%1»").arg(QString::fromStdString(key)));
    account.*field = value;
    return success();
}

} // namespace

Result<TMailAccount> ParseMailConfig(const std::string& text, TMailAccount base)
{
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string content = Trimmed(line);
        if (content.empty() || content[0] == '#')
            continue;
        const auto equals = content.find('=');
        Status assigned = equals == std::string::npos
                              ? Status::failure(QStringLiteral("нет знака «=»"))
                              : Assign(base, Trimmed(content.substr(0, equals)), Trimmed(content.substr(equals + 1)));
        if (!assigned)
            return Result<TMailAccount>::failure(
                QStringLiteral("Ошибка в настройках почты, строка %1: %2").arg(number).arg(assigned.error()));
    }
    return base;
}

Result<TMailAccount> LoadMailAccount()
{
    const QString path = QString::fromStdString(MailConfigPath());
    QFile file(path);
    if (!file.exists())
        return DefaultMailAccount();
    if (!file.open(QIODevice::ReadOnly))
        return Result<TMailAccount>::failure(
            QStringLiteral("Не удалось прочитать настройки почты %1: %2").arg(path, file.errorString()));
    return ParseMailConfig(file.readAll().toStdString(), DefaultMailAccount());
}
