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

// A dataset or field error of the layer itself: "StaffTable: Dataset not in edit or insert mode",
// "Field 'Emp_Num' must have a value".
class DatabaseError : public Exception {
public:
    using Exception::Exception;
    const char* kindName() const override { return "EDatabaseError"; }
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
