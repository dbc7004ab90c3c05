#include "Query.h"

#include "DataErrors.h"
#include "Database.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == '_';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == '_';
}

// Index just past the quoted piece or comment that starts at `i`, or `i` when none does.
qsizetype skipQuotedOrComment(const QString& sql, qsizetype i)
{
    const QChar c = sql[i];
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
        const QChar close = c == '[' ? QChar(']') : c;
        const qsizetype end = sql.indexOf(close, i + 1);
        return end < 0 ? sql.size() : end + 1;
    }
    if (sql.mid(i, 2) == "--") {
        const qsizetype end = sql.indexOf('\n', i);
        return end < 0 ? sql.size() : end + 1;
    }
    if (sql.mid(i, 2) == "/*") {
        const qsizetype end = sql.indexOf("*/", i + 2);
        return end < 0 ? sql.size() : end + 2;
    }
    return i;
}

QString quotedName(const QString& name)
{
    return '"' + QString(name).replace('"', "\"\"") + '"';
}

// The statement text without what SQLite would take as the end of it.
QString bareStatement(const QString& sql)
{
    QString text = sql.trimmed();
    while (text.endsWith(';'))
        text = text.chopped(1).trimmed();
    return text;
}

bool sameValue(const TField& field, const QVariant& value)
{
    if (field.IsNull() || value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
    case QMetaType::Double: {
        const QVariant own = field.AsVariant();
        const bool numeric = own.typeId() == QMetaType::LongLong || own.typeId() == QMetaType::Double;
        return numeric && own.toDouble() == value.toDouble();
    }
    case QMetaType::QByteArray:
        return field.AsBlob() == value.toByteArray();
    default:
        return field.AsString() == value.toString();
    }
}

} // namespace

QStringList SqlParameterNames(const QString& sql)
{
    QStringList names;
    qsizetype i = 0;
    while (i < sql.size()) {
        const qsizetype skipped = skipQuotedOrComment(sql, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const bool parameter = sql[i] == ':' && i + 1 < sql.size() && isNameStart(sql[i + 1]) &&
                               (i == 0 || (sql[i - 1] != ':' && !isNamePart(sql[i - 1])));
        if (!parameter) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < sql.size() && isNamePart(sql[end]))
            ++end;
        const QString name = sql.mid(i + 1, end - i - 1);
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
        i = end;
    }
    return names;
}

int StrToInt(const QString& text)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const bool plain = !trimmed.isEmpty() && (trimmed[0].isDigit() || trimmed[0] == '-' || trimmed[0] == '+');
    const int value = plain ? trimmed.toInt(&ok, 10) : 0;
    if (!ok)
        throw EConvertError(QString("«%1» не является целым числом.").arg(text));
    return value;
}

// ---- TField -------------------------------------------------------------

QString TField::FieldName() const
{
    return column_ >= 0 ? query_->columns_[column_] : query_->lookups_[lookup_].name;
}

QVariant TField::lookedUp() const
{
    const TQuery::LookupField& lookup = query_->lookups_[lookup_];
    const QVariant key = query_->FieldByName(lookup.keyField).AsVariant();
    if (key.isNull())
        return {};
    const QVariant found = lookup.source->Lookup(lookup.sourceKey, key, lookup.resultField);
    return found.isNull() ? found : QVariant(found.toString().left(lookup.size));
}

QVariant TField::AsVariant() const
{
    if (column_ < 0)
        return lookedUp();
    if (!query_->hasRow())
        return {};
    sqlite3_stmt* statement = query_->statement_;
    switch (sqlite3_column_type(statement, column_)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(statement, column_)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column_));
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column_)),
                                 sqlite3_column_bytes(statement, column_));
    case SQLITE_BLOB: {
        const void* bytes = sqlite3_column_blob(statement, column_);
        return QByteArray(static_cast<const char*>(bytes), sqlite3_column_bytes(statement, column_));
    }
    default:
        return {};
    }
}

bool TField::IsNull() const
{
    if (column_ < 0)
        return lookedUp().isNull();
    return !query_->hasRow() || sqlite3_column_type(query_->statement_, column_) == SQLITE_NULL;
}

bool TField::IsBlob() const
{
    return column_ >= 0 && query_->hasRow() && sqlite3_column_type(query_->statement_, column_) == SQLITE_BLOB;
}

QString TField::AsString() const
{
    const QVariant value = AsVariant();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

std::optional<QString> TField::AsOptionalString() const
{
    if (IsNull())
        return std::nullopt;
    return AsString();
}

int TField::AsInteger() const
{
    const QVariant value = AsVariant();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong: {
        const qint64 number = value.toLongLong();
        if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
            throw EConvertError(QString("Значение %1 поля %2 не помещается в целое число.").arg(number).arg(FieldName()));
        return static_cast<int>(number);
    }
    case QMetaType::Double:
        return StrToInt(QString::number(std::nearbyint(value.toDouble()), 'f', 0));
    default:
        return StrToInt(AsString());
    }
}

bool TField::AsBoolean() const
{
    const QVariant value = AsVariant();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return false;
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble() != 0;
    default: {
        const QString text = AsString().trimmed();
        return text.compare("true", Qt::CaseInsensitive) == 0 || (text.toLongLong() != 0);
    }
    }
}

double TField::AsFloat() const
{
    const QVariant value = AsVariant();
    if (value.isNull())
        return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw EConvertError(QString("«%1» не является числом.").arg(AsString()));
    return number;
}

QByteArray TField::AsBlob() const
{
    const QVariant value = AsVariant();
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.isNull() ? QByteArray() : value.toString().toUtf8();
}

// ---- TQuery -------------------------------------------------------------

TQuery::TQuery(TDatabase& database, QString name, const QString& sql)
    : Database(&database), name_(std::move(name))
{
    database.attach(this);
    setSQL(sql);
}

TQuery::~TQuery()
{
    Close();
    if (Database)
        Database->detach(this);
}

void TQuery::setSQL(const QString& sql)
{
    Close();
    sql_ = sql;
    std::map<QString, TParam> kept;
    for (const QString& name : SqlParameterNames(sql)) {
        const auto old = params_.find(name.toUpper());
        kept[name.toUpper()] = old != params_.end() ? old->second : TParam();
    }
    params_ = std::move(kept);
}

TParam& TQuery::ParamByName(const QString& name)
{
    const auto found = params_.find(name.toUpper());
    if (found == params_.end())
        throw EDatabaseError(QString("%1: параметр «%2» не найден.").arg(name_, name));
    return found->second;
}

QStringList TQuery::ParamNames() const
{
    return SqlParameterNames(sql_);
}

void TQuery::checkConnected() const
{
    if (!Database || !Database->Connected())
        throw EDatabaseError(QString("%1: нет соединения с базой данных.").arg(name_));
}

void TQuery::checkActive() const
{
    if (!Active())
        throw EDatabaseError(QString("%1: запрос закрыт.").arg(name_));
}

void TQuery::fail(int rc) const
{
    throw EDatabaseError(Database ? Database->errorText(rc) : QString("%1: нет соединения с базой данных.").arg(name_));
}

sqlite3_stmt* TQuery::prepare(const QString& sql) const
{
    checkConnected();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(Database->handle(), text.constData(), static_cast<int>(text.size()), &statement,
                                      nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    if (!statement)
        throw EDatabaseError(QString("%1: в тексте запроса нет команды.").arg(name_));
    return statement;
}

void TQuery::bindParameters(sqlite3_stmt* statement) const
{
    for (int i = 1; i <= sqlite3_bind_parameter_count(statement); ++i) {
        const char* written = sqlite3_bind_parameter_name(statement, i);
        const auto found = written ? params_.find(QString::fromUtf8(written + 1).toUpper()) : params_.end();
        const QVariant value = found != params_.end() ? found->second.value() : QVariant();
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            sqlite3_bind_null(statement, i);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            sqlite3_bind_int64(statement, i, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(statement, i, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob64(statement, i, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text64(statement, i, text.constData(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }
}

void TQuery::Open()
{
    if (Active())
        return;
    sqlite3_stmt* statement = prepare(sql_);
    bindParameters(statement);
    statement_ = statement;
    columns_.clear();
    for (int i = 0; i < sqlite3_column_count(statement_); ++i)
        columns_ << QString::fromUtf8(sqlite3_column_name(statement_, i));
    recNo_ = 0;
    recordCount_ = -1;
    try {
        step();
    } catch (...) {
        Close();
        throw;
    }
}

void TQuery::Close()
{
    if (statement_)
        sqlite3_finalize(statement_);
    statement_ = nullptr;
    eof_ = true;
    recNo_ = 0;
    recordCount_ = -1;
}

void TQuery::step()
{
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
        ++recNo_;
        return;
    }
    eof_ = true;
    if (rc != SQLITE_DONE)
        fail(rc);
}

void TQuery::First()
{
    checkActive();
    sqlite3_reset(statement_);
    recNo_ = 0;
    step();
}

void TQuery::Next()
{
    checkActive();
    if (!eof_)
        step();
}

void TQuery::moveTo(int recNo)
{
    First();
    while (!eof_ && recNo_ < recNo)
        step();
}

int TQuery::RecordCount()
{
    checkActive();
    if (recordCount_ < 0) {
        sqlite3_stmt* counting = prepare("SELECT count(*) FROM (" + bareStatement(sql_) + ")");
        bindParameters(counting);
        const int rc = sqlite3_step(counting);
        recordCount_ = rc == SQLITE_ROW ? sqlite3_column_int(counting, 0) : 0;
        sqlite3_finalize(counting);
        if (rc != SQLITE_ROW)
            fail(rc);
    }
    return recordCount_;
}

bool TQuery::Locate(const QString& fieldName, const QVariant& value)
{
    checkActive();
    const TField field = FieldByName(fieldName);
    const int before = eof_ ? -1 : recNo_;
    for (First(); !eof_; step()) {
        if (sameValue(field, value))
            return true;
    }
    if (before > 0)
        moveTo(before);
    return false;
}

int TQuery::FieldCount() const
{
    return static_cast<int>(columns_.size() + lookups_.size());
}

TField TQuery::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(
            QString("%1: поля с номером %2 нет, полей %3.").arg(name_).arg(index).arg(FieldCount()));
    if (index < columns_.size())
        return TField(this, index, -1);
    return TField(this, -1, index - static_cast<int>(columns_.size()));
}

int TQuery::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TQuery::HasField(const QString& name) const
{
    if (columnIndex(name) >= 0)
        return true;
    for (const LookupField& lookup : lookups_)
        if (lookup.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

TField TQuery::FieldByName(const QString& name) const
{
    const int column = columnIndex(name);
    if (column >= 0)
        return TField(this, column, -1);
    for (int i = 0; i < static_cast<int>(lookups_.size()); ++i)
        if (lookups_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return TField(this, -1, i);
    throw EDatabaseError(QString("%1: поле «%2» не найдено.").arg(name_, name));
}

void TQuery::AddLookupField(const QString& name, const QString& keyField, TQuery& source, const QString& sourceKey,
                            const QString& resultField, int size)
{
    lookups_.push_back({name, keyField, sourceKey, resultField, &source, size});
}

QVariant TQuery::Lookup(const QString& keyField, const QVariant& key, const QString& resultField) const
{
    const QString sql = QString("SELECT %1 FROM (%2) WHERE %3 = :LookupKey LIMIT 1")
                            .arg(quotedName(resultField), bareStatement(sql_), quotedName(keyField));
    sqlite3_stmt* statement = prepare(sql);
    bindParameters(statement);
    const int keyIndex = sqlite3_bind_parameter_index(statement, ":LookupKey");
    if (key.typeId() == QMetaType::QString) {
        const QByteArray text = key.toString().toUtf8();
        sqlite3_bind_text64(statement, keyIndex, text.constData(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else
        sqlite3_bind_int64(statement, keyIndex, key.toLongLong());
    const int rc = sqlite3_step(statement);
    QVariant found;
    if (rc == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
        found = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(rc);
    return found;
}
