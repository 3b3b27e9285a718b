#include "tests/support/testdb.h"

#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/formatsettings.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <atomic>
#include <stdexcept>

namespace testsupport {

namespace {

std::atomic<int> rawCounter{0};

QString quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

[[noreturn]] void fail(const QString& what, const QString& sql, const QSqlError& error)
{
    throw std::runtime_error(
        QString("%1 failed: %2\n  SQL: %3").arg(what, error.text(), sql).toStdString());
}

QSqlQuery run(QSqlDatabase db, const QString& sql, const QVariantList& binds)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        fail("prepare", sql, q.lastError());
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        fail("exec", sql, q.lastError());
    return q;
}

QDateTime defaultNow() { return QDateTime(QDate(2026, 3, 11), QTime(14, 5, 9)); }

QDateTime& clockValue()
{
    static QDateTime now = defaultNow();
    return now;
}

} // namespace

TestDatabase::TestDatabase(bool sample)
{
    if (!tmp_.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        SavedVar v;
        v.name = name;
        v.set = qEnvironmentVariableIsSet(name);
        v.value = qgetenv(name);
        saved_ << v;
        qputenv(name, tmp_.path().toLocal8Bit());
    }
    file_ = tmp_.path() + "/corvane2003.db";
    try {
        admin::initDatabase(file_, sample);
    } catch (...) {
        restoreEnvironment(); // no destructor runs for a half-made fixture
        throw;
    }
}

TestDatabase::~TestDatabase()
{
    data::Database::closeAll();
    if (!rawName_.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(rawName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(rawName_);
    }
    restoreEnvironment();
}

void TestDatabase::restoreEnvironment()
{
    for (const SavedVar& v : saved_) {
        if (v.set)
            qputenv(v.name.constData(), v.value);
        else
            qunsetenv(v.name.constData());
    }
}

QSqlDatabase TestDatabase::raw()
{
    if (rawName_.isEmpty()) {
        rawName_ = QString("testsupport-raw-%1").arg(++rawCounter);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", rawName_);
        db.setDatabaseName(file_);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
        if (!db.open())
            fail("open", file_, db.lastError());
    }
    return QSqlDatabase::database(rawName_);
}

void TestDatabase::exec(const QString& sql, const QVariantList& binds)
{
    run(raw(), sql, binds);
}

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q = run(raw(), sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

QList<QVariantMap> TestDatabase::rows(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q = run(raw(), sql, binds);
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

void TestDatabase::insert(const QString& table, const QVariantMap& values)
{
    QStringList columns, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << quoted(it.key());
        marks << "?";
        binds << it.value();
    }
    exec("INSERT INTO " + quoted(table) + " (" + columns.join(", ") + ") VALUES ("
             + marks.join(", ") + ")",
         binds);
}

void TestDatabase::addStaff(const QString& name, const QVariantMap& more)
{
    QVariantMap values{{"Name", name}, {"Status", "IN"}, {"Destination", "IN Office"}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        values.insert(it.key(), it.value());
    insert("Staff", values);
}

void TestDatabase::addDept(const QString& department)
{
    insert("Dept", {{"Department", department}});
}

void TestDatabase::addDestination(const QString& destination, const QVariantMap& more)
{
    QVariantMap values{{"Destination", destination}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        values.insert(it.key(), it.value());
    insert("Destination", values);
}

void TestDatabase::dropTable(const QString& table)
{
    exec("DROP TABLE " + quoted(table));
}

void TestDatabase::dropIndex(const QString& index)
{
    exec("DROP INDEX " + quoted(index));
}

void useFixedFormats()
{
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

void setFixedNow(const QDateTime& now)
{
    clockValue() = now;
    // Only the clock changes: formats a test has set stay.
    data::formatSettings().now = [] { return clockValue(); };
}

QDateTime fixedNow() { return clockValue(); }

} // namespace testsupport
