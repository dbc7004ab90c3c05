// Errors that the data layer raises out of query work. They travel up to the
// application's error report like every other unexpected failure; the text
// is the one the user sees.
#pragma once

#include <QString>

#include <stdexcept>

class EDataError : public std::runtime_error {
public:
    explicit EDataError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The database refused a statement or could not read the edition.
class EDatabaseError : public EDataError {
public:
    using EDataError::EDataError;
};

// A value could not be converted, e.g. a text that is no integer.
class EConvertError : public EDataError {
public:
    using EDataError::EDataError;
};
