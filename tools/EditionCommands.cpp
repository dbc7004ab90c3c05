#include "EditionCommands.h"

#include "DataErrors.h"
#include "Database.h"
#include "EditionSeal.h"
#include "Query.h"

namespace {

// The positional arguments a command needs, and the edition's password.
bool commandInput(const ToolArguments& arguments, qsizetype count, std::string& password, QString& error)
{
    if (arguments.positional.size() != count) {
        error = QString("Ожидалось аргументов: %1, получено: %2.").arg(count).arg(arguments.positional.size());
        return false;
    }
    return EditionPasswordOption(arguments, password, error);
}

int runSeal(const ToolArguments& arguments)
{
    std::string password;
    QString error;
    if (!commandInput(arguments, 2, password, error))
        return ToolFailure(error);
    const Status sealed = SealEditionFile(arguments.positional[0], arguments.positional[1], password);
    return sealed ? 0 : ToolFailure(sealed.error());
}

int runUnseal(const ToolArguments& arguments)
{
    std::string password;
    QString error;
    if (!commandInput(arguments, 2, password, error))
        return ToolFailure(error);
    const Status unsealed = UnsealEditionFile(arguments.positional[0], arguments.positional[1], password);
    return unsealed ? 0 : ToolFailure(unsealed.error());
}

// Opens the edition that the first argument names with the password of --edition.
Status openCommandEdition(const ToolArguments& arguments, qsizetype count, TDatabase& database,
                          std::string& password)
{
    QString error;
    if (!commandInput(arguments, count, password, error))
        return Status::failure(error);
    database.DatabaseFileName = arguments.positional[0];
    database.Password = password;
    return database.Open();
}

// Opens the edition as the program does and runs the database's own check;
// then checks every block, including those the database does not use.
int runCheck(const ToolArguments& arguments)
{
    std::string password;
    TDatabase database;
    const Status opened = openCommandEdition(arguments, 1, database, password);
    if (!opened)
        return ToolFailure(opened.error());
    try {
        TQuery check(database, "integrity_check", "PRAGMA integrity_check");
        check.Open();
        QStringList problems;
        for (; !check.Eof(); check.Next())
            problems << check.Fields(0).AsString();
        if (problems != QStringList{"ok"})
            return ToolFailure(problems.join('\n'));
    } catch (const EDataError& failure) {
        return ToolFailure(failure.message());
    }
    const Status blocks = VerifyEditionBlocks(arguments.positional[0], password);
    if (!blocks)
        return ToolFailure(blocks.error());
    ToolPrint("ok");
    return 0;
}

// One value as the sql command prints it: blobs as their byte count, tabs,
// line breaks and backslashes escaped so that every row stays on one line.
QString printable(const TField& field)
{
    if (field.IsBlob())
        return QString::number(field.AsBlob().size());
    QString text = field.AsString();
    text.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
    return text;
}

int runSql(const ToolArguments& arguments)
{
    std::string password;
    TDatabase database;
    const Status opened = openCommandEdition(arguments, 2, database, password);
    if (!opened)
        return ToolFailure(opened.error());
    try {
        TQuery query(database, "sql", arguments.positional[1]);
        query.Open();
        QStringList line;
        for (int i = 0; i < query.FieldCount(); ++i)
            line << query.Fields(i).FieldName();
        ToolPrint(line.join('\t'));
        for (; !query.Eof(); query.Next()) {
            line.clear();
            for (int i = 0; i < query.FieldCount(); ++i)
                line << printable(query.Fields(i));
            ToolPrint(line.join('\t'));
        }
    } catch (const EDataError& failure) {
        return ToolFailure(failure.message());
    }
    return 0;
}

} // namespace

std::vector<ToolCommand> EditionCommands()
{
    return {
        {"seal", "PLAIN.sqlite OUT.abs --edition N", runSeal},
        {"check", "FILE.abs --edition N", runCheck},
        {"unseal", "FILE.abs OUT.sqlite --edition N", runUnseal},
        {"sql", "FILE.abs --edition N \"SELECT ...\"", runSql},
    };
}
