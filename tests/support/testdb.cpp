#include "tests/support/testdb.h"

#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/formatsettings.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <atomic>
#include <stdexcept>

namespace testsupport {

namespace {

std::atomic<int> rawCounter{0};

QString quoted(const QString& identifier) {
    QString s = identifier;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

[[noreturn]] void fail(const QString& what, const QString& sql, const QSqlError& error) {
    throw std::runtime_error(QString("%1 failed: %2\n  SQL: %3").arg(what, error.text(), sql).toStdString());
}

QSqlQuery run(QSqlDatabase db, const QString& sql, const QVariantList& binds) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (binds.isEmpty()) {
        // unprepared: PostgreSQL prepares no DDL
        if (!q.exec(sql)) fail("exec", sql, q.lastError());
        return q;
    }
    if (!q.prepare(sql)) fail("prepare", sql, q.lastError());
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec()) fail("exec", sql, q.lastError());
    return q;
}

// A short-lived connection to the server's maintenance database (CREATE and DROP DATABASE
// cannot run inside the database they concern).
class ServerConnection {
public:
    ServerConnection() : name_(QString("testsupport-pg-admin-%1").arg(++rawCounter)) {
        const QVariantMap s = postgresTestSettings();
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name_);
        db.setHostName(s.value("host").toString());
        if (s.contains("port")) db.setPort(s.value("port").toInt());
        db.setUserName(s.value("user").toString());
        db.setPassword(s.value("password").toString());
        db.setDatabaseName(s.value("dbname", "postgres").toString());
        if (!db.open()) {
            const QSqlError e = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            fail("connect to the PostgreSQL server of QUORVALE_TEST_PSQL", QString(), e);
        }
    }
    ~ServerConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    void exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        if (!q.exec(sql)) fail("exec", sql, q.lastError());
    }

private:
    QString name_;
};

QDateTime defaultNow() { return QDateTime(QDate(2026, 3, 11), QTime(14, 5, 9)); }

QDateTime& clockValue() {
    static QDateTime now = defaultNow();
    return now;
}

} // namespace

QVariantMap postgresTestSettings() {
    QVariantMap s;
    const QString spec = qEnvironmentVariable("QUORVALE_TEST_PSQL").trimmed();
    for (const QString& part : spec.split(' ', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf('=');
        if (eq > 0) s.insert(part.left(eq).toLower(), part.mid(eq + 1));
    }
    if (!spec.isEmpty() && !s.contains("host")) s.insert("host", "127.0.0.1");
    return s;
}

bool TestDatabase::onPostgres() { return !qEnvironmentVariable("QUORVALE_TEST_PSQL").trimmed().isEmpty(); }

TestDatabase::TestDatabase(bool sample) {
    if (!tmp_.isValid()) throw std::runtime_error("cannot make a temporary folder");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        SavedVar v;
        v.name = name;
        v.set = qEnvironmentVariableIsSet(name);
        v.value = qgetenv(name);
        saved_ << v;
        qputenv(name, tmp_.path().toLocal8Bit());
    }
    try {
        if (onPostgres()) {
            // unique across the test processes that run side by side on one server
            const QString name = QString("quorvale_test_%1_%2_%3")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(++rawCounter)
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
            ServerConnection().exec("CREATE DATABASE " + quoted(name));
            pgDatabase_ = name;
            const QVariantMap s = postgresTestSettings();
            data::AliasConfig cfg;
            cfg.name = admin::databaseAlias;
            cfg.driver = "PSQL";
            cfg.host = s.value("host").toString();
            cfg.port = s.value("port").toInt();
            cfg.user = s.value("user").toString();
            cfg.password = s.value("password").toString();
            cfg.database = name;
            admin::initDatabase(cfg, sample);
        } else {
            file_ = tmp_.path() + "/corvane2003.db";
            admin::initDatabase(file_, sample);
        }
    } catch (...) {
        // no destructor runs for a half-made fixture
        data::Database::closeAll();
        dropPostgresDatabase();
        restoreEnvironment();
        throw;
    }
}

void TestDatabase::dropPostgresDatabase() {
    if (pgDatabase_.isEmpty()) return;
    try {
        // FORCE: a connection a test left open must not keep the database alive
        ServerConnection().exec("DROP DATABASE IF EXISTS " + quoted(pgDatabase_) + " WITH (FORCE)");
    } catch (const std::exception& e) {
        qWarning("testsupport: %s", e.what());
    }
}

QString TestDatabase::translated(const QString& sql) const {
    if (!postgres()) return sql;
    static const auto dialect = data::Dialect::forDriver("PSQL");
    return dialect->translateLocalSql(sql);
}

TestDatabase::~TestDatabase() {
    data::Database::closeAll();
    if (!rawName_.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(rawName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(rawName_);
    }
    dropPostgresDatabase();
    restoreEnvironment();
}

void TestDatabase::restoreEnvironment() {
    for (const SavedVar& v : saved_) {
        if (v.set)
            qputenv(v.name.constData(), v.value);
        else
            qunsetenv(v.name.constData());
    }
}

QSqlDatabase TestDatabase::raw() {
    if (rawName_.isEmpty()) {
        rawName_ = QString("testsupport-raw-%1").arg(++rawCounter);
        if (postgres()) {
            const QVariantMap s = postgresTestSettings();
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", rawName_);
            db.setHostName(s.value("host").toString());
            if (s.contains("port")) db.setPort(s.value("port").toInt());
            db.setUserName(s.value("user").toString());
            db.setPassword(s.value("password").toString());
            db.setDatabaseName(pgDatabase_);
            if (!db.open()) fail("open", pgDatabase_, db.lastError());
        } else {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", rawName_);
            db.setDatabaseName(file_);
            db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
            if (!db.open()) fail("open", file_, db.lastError());
        }
    }
    return QSqlDatabase::database(rawName_);
}

void TestDatabase::exec(const QString& sql, const QVariantList& binds) { run(raw(), translated(sql), binds); }

void TestDatabase::native(const QString& sql, const QVariantList& binds) { run(raw(), sql, binds); }

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& binds) {
    QSqlQuery q = run(raw(), translated(sql), binds);
    return q.next() ? q.value(0) : QVariant();
}

QList<QVariantMap> TestDatabase::rows(const QString& sql, const QVariantList& binds) {
    QSqlQuery q = run(raw(), translated(sql), binds);
    QList<QVariantMap> result;
    while (q.next()) {
        const QSqlRecord rec = q.record();
        QVariantMap row;
        for (int i = 0; i < rec.count(); ++i)
            row.insert(rec.fieldName(i), q.value(i));
        result << row;
    }
    return result;
}

void TestDatabase::insert(const QString& table, const QVariantMap& values) {
    QStringList columns, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << quoted(it.key());
        marks << "?";
        binds << it.value();
    }
    native("INSERT INTO " + quoted(table) + " (" + columns.join(", ") + ") VALUES (" + marks.join(", ") + ")",
           binds);
}

void TestDatabase::addStaff(const QString& name, const QVariantMap& more) {
    QVariantMap values{{"Name", name}, {"Status", "IN"}, {"Destination", "IN Office"}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        values.insert(it.key(), it.value());
    insert("Staff", values);
}

void TestDatabase::addDept(const QString& department) { insert("Dept", {{"Department", department}}); }

void TestDatabase::addDestination(const QString& destination, const QVariantMap& more) {
    QVariantMap values{{"Destination", destination}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        values.insert(it.key(), it.value());
    insert("Destination", values);
}

void TestDatabase::refuse(const QString& table, const QString& operation, const QString& message,
                          const QString& column, const QVariant& value) {
    static std::atomic<int> serial{0};
    const QString name = QString("refuse_%1").arg(++serial);
    auto literal = [](QString text) { return '\'' + text.replace('\'', "''") + '\''; };
    const QString op = operation.toUpper();
    const QString row = op == "DELETE" ? "OLD" : "NEW";
    const QString when =
        column.isEmpty() ? QString() : row + "." + quoted(column) + " = " + literal(value.toString());
    if (postgres()) {
        native(QString("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "IF %2 THEN RAISE EXCEPTION %3; END IF; RETURN %4; END $$")
                   .arg(name, when.isEmpty() ? QString("TRUE") : when, literal(message), row));
        native(QString("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()")
                   .arg(name, op, quoted(table)));
    } else {
        native(
            QString("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, %5); END")
                .arg(name, op, quoted(table), when.isEmpty() ? QString() : "WHEN " + when, literal(message)));
    }
    refusals_ << Refusal{name, table};
}

void TestDatabase::allow(const QString& table) {
    for (auto it = refusals_.begin(); it != refusals_.end();) {
        if (it->table != table) {
            ++it;
            continue;
        }
        if (postgres()) {
            native(QString("DROP TRIGGER %1 ON %2").arg(it->name, quoted(table)));
            native(QString("DROP FUNCTION %1()").arg(it->name));
        } else {
            native(QString("DROP TRIGGER %1").arg(it->name));
        }
        it = refusals_.erase(it);
    }
}

void TestDatabase::dropTable(const QString& table) { native("DROP TABLE " + quoted(table)); }

void TestDatabase::dropIndex(const QString& index) { native("DROP INDEX " + quoted(index)); }

void useFixedFormats() {
    data::FormatSettings s;
    s.shortDateFormat = "M/d/yy";
    s.longTimeFormat = "h:mm:ss AP";
    s.dateSeparator = '/';
    s.timeSeparator = ':';
    s.decimalSeparator = '.';
    clockValue() = defaultNow();
    s.now = [] { return clockValue(); };
    data::setFormatSettings(s);
}

void setFixedNow(const QDateTime& now) {
    clockValue() = now;
    // Only the clock changes: formats a test has set stay.
    data::formatSettings().now = [] { return clockValue(); };
}

QDateTime fixedNow() { return clockValue(); }

} // namespace testsupport
