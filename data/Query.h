// A query on the edition connection, in the manner of the data-set classes
// the directory's code is written against: SQL text with named parameters
// (:Name), Open/Close, a current row moved with First/Next until Eof, fields
// read by name, RecordCount and Locate.
//
// The rows are not copied: the query keeps its SQLite statement and steps
// through it. Because an edition never changes, running the statement again
// gives the same rows in the same order, so First, Locate and RecordCount
// re-run it instead of holding a result set in memory.
#pragma once

#include <QStringList>
#include <QVariant>

#include <map>
#include <optional>
#include <vector>

struct sqlite3_stmt;
class TDatabase;
class TQuery;

class TField {
public:
    QString FieldName() const;
    bool IsNull() const;
    QString AsString() const;   // "" for null; blobs as their bytes in UTF-8
    std::optional<QString> AsOptionalString() const; // nullopt for null, else AsString()
    int AsInteger() const;      // 0 for null; a text that is no integer raises EConvertError
    bool AsBoolean() const;     // false for null; a number is true when not 0
    double AsFloat() const;
    QByteArray AsBlob() const;  // the bytes of a blob or text, empty for null
    QVariant AsVariant() const; // null QVariant, qint64, double, QString or QByteArray
    bool IsBlob() const;        // the current value is a blob

private:
    friend class TQuery;
    TField(const TQuery* query, int column, int lookup) : query_(query), column_(column), lookup_(lookup) {}
    QVariant lookedUp() const;

    const TQuery* query_;
    int column_; // -1 for a looked-up field
    int lookup_; // index of the looked-up field, -1 for a column
};

class TParam {
public:
    void setValue(const QVariant& value) { value_ = value; }
    void setAsInteger(int value) { value_ = value; }
    void setAsString(const QString& value) { value_ = value; }
    void Clear() { value_ = QVariant(); }
    const QVariant& value() const { return value_; }

private:
    QVariant value_;
};

class TQuery {
public:
    TQuery(TDatabase& database, QString name, const QString& sql = {});
    ~TQuery();
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    const QString& Name() const { return name_; }
    TDatabase* Database;

    // Changing the text closes the query; parameters keep their values by name.
    const QString& SQL() const { return sql_; }
    void setSQL(const QString& sql);
    void setSQL(const QStringList& lines) { setSQL(lines.join('\n')); }
    // The parameter named in the text (any case); an unknown name raises EDatabaseError.
    TParam& ParamByName(const QString& name);
    QStringList ParamNames() const;

    void Open();   // on the first row; Eof when there is none. Open on an open query does nothing.
    void Close();
    bool Active() const { return statement_ != nullptr; }
    void First();
    void Next();
    bool Eof() const { return eof_; }
    int RecNo() const { return recNo_; } // 1-based position of the current row; 0 when none
    int RecordCount();
    // Moves to the first row whose field equals the value and returns true;
    // returns false and stays where it was when there is no such row.
    bool Locate(const QString& fieldName, const QVariant& value);

    int FieldCount() const;
    TField Fields(int index) const; // an index outside 0..FieldCount()-1 raises EDatabaseError
    TField FieldByName(const QString& name) const; // an unknown name raises EDatabaseError
    bool HasField(const QString& name) const;

    // A field whose value is looked up in another query: the `resultField`
    // of the row of `source` whose `sourceKey` equals this row's `keyField`,
    // cut to `size` characters. The source query's position does not move.
    void AddLookupField(const QString& name, const QString& keyField, TQuery& source, const QString& sourceKey,
                        const QString& resultField, int size);
    // The `resultField` of the first row whose `keyField` equals `key`; null when none.
    QVariant Lookup(const QString& keyField, const QVariant& key, const QString& resultField) const;

private:
    friend class TField;
    struct LookupField {
        QString name, keyField, sourceKey, resultField;
        TQuery* source;
        int size;
    };

    void checkActive() const;
    void checkConnected() const;
    sqlite3_stmt* prepare(const QString& sql) const;
    void bindParameters(sqlite3_stmt* statement) const;
    void step();
    void moveTo(int recNo);
    bool hasRow() const { return statement_ && !eof_ && recNo_ > 0; }
    int columnIndex(const QString& name) const;
    [[noreturn]] void fail(int rc) const;

    QString name_;
    QString sql_;
    std::map<QString, TParam> params_; // by upper-case name
    std::vector<LookupField> lookups_;
    sqlite3_stmt* statement_ = nullptr;
    QStringList columns_;
    bool eof_ = true;
    int recNo_ = 0;
    int recordCount_ = -1;
};

// Parameter names (without the colon) written in SQL text, in order of first
// appearance; quoted strings, quoted names and comments are skipped.
QStringList SqlParameterNames(const QString& sql);

// Delphi's StrToInt: a decimal integer with an optional sign, spaces around it
// allowed; anything else (or a value outside 32 bits) raises EConvertError.
int StrToInt(const QString& text);
