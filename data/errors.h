#pragma once
// Exceptions of the data-access layer. Every failure of a table operation is one of
// these; the application's default handler shows message() and goes on.
#include <QString>
#include <exception>

namespace data {

class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }
    // The kind of error as the start-up error box names it.
    virtual const char* kindName() const { return "Exception"; }

private:
    QString message_;
    QByteArray utf8_;
};

// What went wrong, for code that must tell failures apart; message() stays the text the
// user reads and is never compared.
enum class ErrorKind {
    Other,         // any other failure, e.g. a statement the engine refused
    KeyViolation,  // a unique index refused the row
    Busy,          // another desk holds the database's write lock
    CannotOpen,    // the database of an alias cannot be opened or reached
    DriverMissing, // the database driver an alias names is not installed
    Conflict,      // the row was changed or deleted by another user since it was read
    UnknownAlias,  // no such alias, or an alias the engine cannot use as written
    AliasFile,     // the alias file or a database file cannot be written
    NoSuchTable,
    NoSuchIndex,
    NoSuchField,
    InvalidState,   // the operation does not fit the dataset's or transaction's state
    InvalidValue,   // a value does not fit its field, or a required field is empty
    BadFilter,      // a filter expression that cannot be read
    ConnectionLost, // the connection to the database server broke off; the next operation reconnects
};

// A text the user gave, as a message repeats it: a long one is cut, with its length, so the
// message stays readable.
inline QString echoed(const QString& text) {
    constexpr int shown = 40;
    if (text.size() <= shown + 10) return text;
    int n = shown;
    if (text.at(n - 1).isHighSurrogate()) --n;
    return QString("%1... (%2 characters)").arg(text.left(n)).arg(text.size());
}

// A dataset or field error of the layer itself: "StaffTable: Dataset not in edit or insert mode",
// "Field 'Emp_Num' must have a value".
class DatabaseError : public Exception {
public:
    explicit DatabaseError(QString message, ErrorKind kind = ErrorKind::Other)
        : Exception(std::move(message)), kind_(kind) {}
    const char* kindName() const override { return "EDatabaseError"; }
    ErrorKind kind() const { return kind_; }
    // Raised by a dataset, its message already starting with the dataset's name.
    bool fromDataSet() const { return fromDataSet_; }
    DatabaseError& markFromDataSet() {
        fromDataSet_ = true;
        return *this;
    }

private:
    ErrorKind kind_;
    bool fromDataSet_ = false;
};

// An error reported by the database engine: unknown alias, missing table or index,
// key violation, a row changed by another user, a failing statement.
class EngineError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
    const char* kindName() const override { return "EDBEngineError"; }
};

// Typed text that does not fit its edit mask.
class EditError : public Exception {
public:
    using Exception::Exception;
    const char* kindName() const override { return "EDBEditError"; }
};

} // namespace data
