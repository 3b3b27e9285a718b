#pragma once
// A fresh database per test, made by the admin tool's schema code.
//
//   testsupport::TestDatabase db;          // alias "Corvane2003" -> <tmp>/corvane2003.db
//   db.addStaff("Abbott, Helen", {{"Department", "Sales"}});
//   ... open windows / tables on the alias ...
//   QCOMPARE(db.scalar("SELECT Status FROM Staff WHERE Name = ?", {"Abbott, Helen"}), ...);
//
// XDG_CONFIG_HOME and XDG_DATA_HOME point at the temporary folder for the fixture's life, so
// the alias file and every other per-user file of the run stay inside it.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace testsupport {

class TestDatabase {
public:
    // sample: also the admin tool's sample rows.
    explicit TestDatabase(bool sample = false);
    ~TestDatabase(); // data::Database::closeAll(), then the environment as it was
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString file() const { return file_; }
    QString dir() const { return tmp_.path(); }

    // An independent SQLite connection to the file (not the data layer's): for assertions
    // and for playing a second desk. Same connection on every call.
    QSqlDatabase raw();

    // Plain SQL on raw(); a failing statement throws std::runtime_error with the SQL and the
    // driver's text, which fails the test.
    void exec(const QString& sql, const QVariantList& binds = {});
    QVariant scalar(const QString& sql, const QVariantList& binds = {}); // first column of first row
    QList<QVariantMap> rows(const QString& sql, const QVariantList& binds = {});

    // A Staff row as a new profile starts it (Status "IN", Destination "IN Office"); `more`
    // sets or overrides columns (an invalid QVariant stores NULL).
    void addStaff(const QString& name, const QVariantMap& more = {});
    void addDept(const QString& department);
    void addDestination(const QString& destination, const QVariantMap& more = {});
    // Rows of any table: column -> value.
    void insert(const QString& table, const QVariantMap& values);

    // For start-up failure tests.
    void dropTable(const QString& table);
    void dropIndex(const QString& index);

private:
    void restoreEnvironment();
    QTemporaryDir tmp_;
    QString file_;
    QString rawName_;
    struct SavedVar {
        QByteArray name;
        bool set = false;
        QByteArray value;
    };
    QList<SavedVar> saved_;
};

// FormatSettings with short date "M/d/yy", long time "h:mm:ss AP", separators '/' ':' '.',
// and a fixed clock set to 2026-03-11 14:05:09.
void useFixedFormats();
// Sets the fixed clock and makes it the clock in use; the formats in use stay.
void setFixedNow(const QDateTime& now);
QDateTime fixedNow();

} // namespace testsupport
