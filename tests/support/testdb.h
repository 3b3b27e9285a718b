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
//
// With QUORVALE_TEST_PSQL set to a PostgreSQL connection ("host=127.0.0.1 port=55432
// user=postgres [password=...] [dbname=postgres]"), the fixture makes a database of its own
// on that server instead (CREATE DATABASE with a unique name, dropped by the destructor),
// the alias points at it, and raw(), exec(), scalar() and rows() work on it. Their SQL is
// written as for SQLite: bare identifiers keep their case (they are quoted as the layer
// quotes stored queries); native() runs a statement exactly as written.
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

    QString file() const { return file_; } // SQLite; empty on PostgreSQL
    QString dir() const { return tmp_.path(); }

    // True when the fixture's database is on the PostgreSQL server of QUORVALE_TEST_PSQL.
    static bool onPostgres();
    bool postgres() const { return !pgDatabase_.isEmpty(); }
    QString postgresDatabase() const { return pgDatabase_; } // the database made for it

    // An independent connection to the database (not the data layer's): for assertions
    // and for playing a second desk. Same connection on every call.
    QSqlDatabase raw();

    // Plain SQL on raw(); a failing statement throws std::runtime_error with the SQL and the
    // driver's text, which fails the test.
    void exec(const QString& sql, const QVariantList& binds = {});
    QVariant scalar(const QString& sql, const QVariantList& binds = {}); // first column of first row
    QList<QVariantMap> rows(const QString& sql, const QVariantList& binds = {});
    // A statement in the engine's own SQL, untouched (DDL, triggers of one engine).
    void native(const QString& sql, const QVariantList& binds = {});

    // A Staff row as a new profile starts it (Status "IN", Destination "IN Office"); `more`
    // sets or overrides columns (an invalid QVariant stores NULL).
    void addStaff(const QString& name, const QVariantMap& more = {});
    void addDept(const QString& department);
    void addDestination(const QString& destination, const QVariantMap& more = {});
    // Rows of any table: column -> value.
    void insert(const QString& table, const QVariantMap& values);

    // Makes the engine refuse every `operation` ("INSERT", "UPDATE" or "DELETE") on table
    // with an error whose text holds message; with a column, only rows whose new value
    // there equals value (a trigger, written for the engine in use).
    void refuse(const QString& table, const QString& operation, const QString& message,
                const QString& column = {}, const QVariant& value = {});
    // Takes back every refusal this fixture made on table, so its writes go through again.
    void allow(const QString& table);

    // For start-up failure tests.
    void dropTable(const QString& table);
    void dropIndex(const QString& index);

private:
    void restoreEnvironment();
    void dropPostgresDatabase();
    QString translated(const QString& sql) const;
    QTemporaryDir tmp_;
    QString file_;
    QString rawName_;
    QString pgDatabase_;
    struct Refusal {
        QString name;
        QString table;
    };
    QList<Refusal> refusals_;
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

// The settings of QUORVALE_TEST_PSQL (host, port, user, password, dbname) as key -> value;
// empty when the variable is not set.
QVariantMap postgresTestSettings();
// Sets the fixed clock and makes it the clock in use; the formats in use stay.
void setFixedNow(const QDateTime& now);
QDateTime fixedNow();

} // namespace testsupport
