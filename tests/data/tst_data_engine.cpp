// The engine: aliases, dialects, statements, and transactions grouping several posts.
#include "datatest.h"
#include "data/datasource.h"
#include "data/deferrederror.h"
#include "data/errors.h"
#include "data/query.h"
#include <QFile>
#include <QSettings>
#include <QtTest>

using namespace datatest;
using data::DataSetState;

class TstDataEngine : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void aliasFileRoundTrip();
    void unknownAlias();
    void missingDatabaseFileIsNotCreated();
    void sqliteRunsInWalMode();
    void sqliteStatementPaths_data();
    void sqliteStatementPaths();
    void translateLocalSql_data();
    void translateLocalSql();
    void postgresDialect();
    void keyViolationText();
    void schemaQuestions();
    void groupedPostsCommitTogether();
    void rolledBackGroupRestoresEditState();
    void rollbackWhoseRestoreFailsToRead();
    void failedHistoryRowKeepsStaffRowEditing();
    void failedStatementLeavesNothingStored();
    void textComparesAndSortsInBinaryOrder_data();
    void textComparesAndSortsInBinaryOrder();
};

void TstDataEngine::aliasFileRoundTrip() {
    testsupport::TestDatabase db;
    data::AliasConfig pg;
    pg.name = "Remote";
    pg.driver = "PSQL";
    pg.host = "db.example";
    pg.port = 5432;
    pg.database = "corvane";
    pg.user = "desk";
    pg.password = "secret";
    pg.save();
    const data::AliasConfig back = data::AliasConfig::load("remote"); // names ignore case
    QCOMPARE(back.driver, QString("PSQL"));
    QCOMPARE(back.host, QString("db.example"));
    QCOMPARE(back.port, 5432);
    QCOMPARE(back.database, QString("corvane"));
    QCOMPARE(back.user, QString("desk"));
    QCOMPARE(back.password, QString("secret"));
    QVERIFY(data::AliasConfig::configFilePath().startsWith(db.dir()));
    const data::AliasConfig main = data::AliasConfig::load(alias);
    if (db.postgres()) {
        QCOMPARE(main.driver, QString("PSQL"));
        QCOMPARE(main.database, db.postgresDatabase());
        QVERIFY(main.path.isEmpty());
    } else {
        QCOMPARE(main.driver, QString("SQLITE"));
        QCOMPARE(main.path, db.file());
    }
}

void TstDataEngine::unknownAlias() {
    testsupport::TestDatabase db;
    QCOMPARE(errorOf<data::EngineError>([] { data::Database::forAlias("Corvane1999"); }),
             QString("Unknown database alias: Corvane1999"));
    QCOMPARE(kindOf([] { data::Database::forAlias("Corvane1999"); }), data::ErrorKind::UnknownAlias);
}

void TstDataEngine::missingDatabaseFileIsNotCreated() {
    testsupport::TestDatabase db;
    data::AliasConfig cfg;
    cfg.name = "Gone";
    cfg.path = db.dir() + "/gone.db";
    cfg.save();
    const QString msg = errorOf<data::EngineError>([] { data::Database::forAlias("Gone"); });
    QVERIFY2(msg.contains("Gone") && msg.contains("gone.db"), qPrintable(msg));
    QCOMPARE(kindOf([] { data::Database::forAlias("Gone"); }), data::ErrorKind::CannotOpen);
    QVERIFY(!QFile::exists(cfg.path));
    cfg.createDatabaseFile(); // the admin tool's way
    QVERIFY(QFile::exists(cfg.path));
    QVERIFY(!data::Database::forAlias("Gone").tableExists("Staff"));
}

void TstDataEngine::sqliteRunsInWalMode() {
    if (testsupport::TestDatabase::onPostgres())
        QSKIP("SQLite's journal mode: the fixture's database is on PostgreSQL");
    testsupport::TestDatabase db;
    data::Database& d = data::Database::forAlias(alias);
    QSqlQuery q(d.connection());
    QVERIFY(q.exec("PRAGMA journal_mode"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QString("wal"));
    QCOMPARE(d.dialect().beginWrite(), QString("BEGIN IMMEDIATE"));
}

void TstDataEngine::sqliteStatementPaths_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("native");
    // this machine's Qt driver and the program share Debian's one libsqlite3
    QTest::newRow("shared library") << "" << true;
    QTest::newRow("through Qt's driver") << "off" << false;
}

void TstDataEngine::sqliteStatementPaths() {
    if (testsupport::TestDatabase::onPostgres())
        QSKIP("SQLite's statement paths: the database is on PostgreSQL");
    QFETCH(QString, setting);
    QFETCH(bool, native);
    qputenv("QUORVALE_SQLITE_NATIVE", setting.toUtf8());
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    data::Database& d = data::Database::forAlias(alias);
    QCOMPARE(d.nativeStatements(), native);
    // both paths read, write and report alike
    QVariant key;
    QCOMPARE(d.run("INSERT INTO \"Staff\" (\"Name\") VALUES (?)", {"Brennan, Martin"}, {}, &key), 1);
    QVERIFY(key.toLongLong() > 0);
    QStringList names;
    d.run("SELECT \"Name\" FROM \"Staff\" ORDER BY \"Name\"", {},
          [&](const data::Database::ResultRow& row) { names << row.value(0).toString(); });
    QCOMPARE(names, (QStringList{"Abbott, Helen", "Brennan, Martin"}));
    QCOMPARE(kindOf([&] { d.run("INSERT INTO \"Staff\" (\"Name\") VALUES (?)", {"Abbott, Helen"}); }),
             data::ErrorKind::KeyViolation);
    data::Database::closeAll();
    qunsetenv("QUORVALE_SQLITE_NATIVE");
}

void TstDataEngine::translateLocalSql_data() {
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("translated");
    QTest::newRow("correlation name") << "SELECT Name\nFROM Staff Staff\nORDER BY Name"
                                      << "SELECT \"Name\"\nFROM \"Staff\" \"Staff\"\nORDER BY \"Name\"";
    QTest::newRow("bracketed name with a blank")
        << "SELECT Transaction_Id, [Date Left] FROM Staff_Log Staff_log"
        << "SELECT \"Transaction_Id\", \"Date Left\" FROM \"Staff_Log\" \"Staff_log\"";
    QTest::newRow("strings untouched, keywords kept")
        << "WHERE  Status = 'IN' AND Name <> 'Order by, from' "
        << "WHERE  \"Status\" = 'IN' AND \"Name\" <> 'Order by, from' ";
    QTest::newRow("qualified names") << "SELECT s.Name FROM Staff s"
                                     << "SELECT \"s\".\"Name\" FROM \"Staff\" \"s\"";
    QTest::newRow("functions and numbers")
        << "SELECT COUNT(*), UPPER(Name) FROM Dept WHERE Dept_Id > 10"
        << "SELECT COUNT(*), UPPER(\"Name\") FROM \"Dept\" WHERE \"Dept_Id\" > 10";
    QTest::newRow("names that are SQL words elsewhere")
        << "SELECT [To], [Date], [Time], [From] FROM Mess"
        << "SELECT \"To\", \"Date\", \"Time\", \"From\" FROM \"Mess\"";
}

void TstDataEngine::translateLocalSql() {
    QFETCH(QString, local);
    QFETCH(QString, translated);
    QCOMPARE(data::Dialect::forDriver("PSQL")->translateLocalSql(local), translated);
    // SQLite: quoted so that a misspelt name is an error, never a text constant
    QCOMPARE(data::Dialect::forDriver("SQLITE")->translateLocalSql(local),
             QString(translated).replace('"', '`'));
}

void TstDataEngine::postgresDialect() {
    const auto pg = data::Dialect::forDriver("PSQL");
    QCOMPARE(pg->collate(), QString(" COLLATE \"C\""));
    QCOMPARE(pg->nullsFirst(), QString(" NULLS FIRST"));
    QVERIFY(pg->insertReturning());
    QCOMPARE(pg->textType(25), QString("VARCHAR(25) COLLATE \"C\""));
    QCOMPARE(pg->quote("Message \"Type\""), QString("\"Message \"\"Type\"\"\""));
    QCOMPARE(pg->nullSafeEqual("a", "?"), QString("a IS NOT DISTINCT FROM ?"));
    const auto odbc = data::Dialect::forDriver("ODBC");
    QCOMPARE(odbc->limit(5), QString(" FETCH FIRST 5 ROWS ONLY"));
    QVERIFY(errorOf<data::EngineError>([] { data::Dialect::forDriver("DBASE"); }).contains("DBASE"));
}

void TstDataEngine::keyViolationText() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    data::Database& d = data::Database::forAlias(alias);
    QSqlQuery& q = d.prepared("INSERT INTO \"Staff\" (\"Name\") VALUES (?)");
    QCOMPARE(errorOf<data::EngineError>([&] { d.exec(q, {"Abbott, Helen"}); }),
             QString("Key violation. Another row already has the same Name: enter another value, or press "
                     "Esc to abandon the change"));
    QCOMPARE(kindOf([&] { d.exec(q, {"Abbott, Helen"}, "adding a row"); }), data::ErrorKind::KeyViolation);
    QCOMPARE(kindOf([&] { d.run("INSERT INTO \"Staff\" (\"Name\") VALUES (?)", {"Abbott, Helen"}); }),
             data::ErrorKind::KeyViolation);
    QSqlQuery& bad = d.prepared("SELECT 1");
    Q_UNUSED(bad);
    QVERIFY(errorOf<data::EngineError>([&] { d.prepared("SELECT Nope FROM Staff"); }).contains("Nope"));
}

void TstDataEngine::schemaQuestions() {
    testsupport::TestDatabase db;
    data::Database& d = data::Database::forAlias(alias);
    QVERIFY(d.tableExists("Staff"));
    QVERIFY(d.tableExists("staff_log"));
    QVERIFY(!d.tableExists("Staffs"));
    QCOMPARE(d.columns("Staff_Log").at(7), QString("Date Left"));
    QCOMPARE(d.primaryKey("Staff"), QString("Employee_No"));
    QCOMPARE(d.primaryKey("Mess"), QString("Mess_No"));
    QCOMPARE(d.primaryKey("Dept"), QString("Dept_Id"));
    QCOMPARE(d.indexFields("Staff", "NAMEIndex"), QStringList{"Name"});
    QCOMPARE(d.indexFields("Staff", "Staff#PX"),
             (QStringList{"Employee_No", "Name", "Emp_Num", "Password", "EMail"}));
    QVERIFY(errorOf<data::EngineError>([&] { d.indexFields("Staff", "Nope"); }).contains("Nope"));
    QVERIFY(errorOf<data::EngineError>([&] { d.columns("Staffs"); }).contains("Staffs"));
    QCOMPARE(kindOf([&] { d.indexFields("Staff", "Nope"); }), data::ErrorKind::NoSuchIndex);
    QCOMPARE(kindOf([&] { d.columns("Staffs"); }), data::ErrorKind::NoSuchTable);
    QCOMPARE(kindOf([&] { d.Commit(); }), data::ErrorKind::InvalidState);
    const auto info = d.columnInfo("Staff");
    QCOMPARE(info[1].size, 25);
    QCOMPARE(info[0].type, data::FieldType::AutoInc);
    QCOMPARE(info[2].type, data::FieldType::Float);
    QCOMPARE(info[17].type, data::FieldType::Memo);
}

// A check-out's two posts: the Staff row and its history row.
static void checkOut(data::Table& staffTable, data::Table& log) {
    staffTable.Edit();
    staffTable.FieldByName("Status")->SetAsString("Out");
    staffTable.FieldByName("Destination")->SetAsString("Boston");
    log.Edit();
    log.Insert();
    log.FieldByName("Name")->SetAsString(staffTable.FieldByName("Name")->AsString());
    log.FieldByName("Status")->SetAsString("Out");
}

void TstDataEngine::groupedPostsCommitTogether() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto s = staff();
    auto log = staffLog();
    s->Open();
    log->Open();
    checkOut(*s, *log);
    {
        data::Transaction tr(data::Database::forAlias(alias));
        s->Post();
        log->Post();
        tr.Commit();
    }
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("Out"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 1);
    QCOMPARE(s->State(), DataSetState::Browse);
    QCOMPARE(log->State(), DataSetState::Browse);
    QVERIFY(!data::Database::forAlias(alias).InTransaction());
}

void TstDataEngine::rolledBackGroupRestoresEditState() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto s = staff();
    auto log = staffLog();
    s->Open();
    log->Open();
    checkOut(*s, *log);
    {
        data::Transaction tr(data::Database::forAlias(alias));
        s->Post();
        log->Post();
        QCOMPARE(s->State(), DataSetState::Browse);
        // no Commit: the group is rolled back
    }
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("IN"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
    QCOMPARE(s->State(), DataSetState::Edit);
    QCOMPARE(s->FieldByName("Status")->AsString(), QString("Out"));
    QCOMPARE(s->FieldByName("Destination")->AsString(), QString("Boston"));
    QCOMPARE(log->State(), DataSetState::Insert);
    QCOMPARE(log->FieldByName("Name")->AsString(), QString("Abbott, Helen"));
    // posting again now stores both
    s->Post();
    log->Post();
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("Out"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 1);
    log->First();
    QVERIFY(!log->Eof());
    log->Next();
    QVERIFY(log->Eof()); // no phantom row of the rolled-back insert
}

// A window's data link that reads rows of a table that is gone when it is told of a change.
class FailingReader : public data::DataLink {
public:
    bool armed = false;
    int reads = 0;
    void stateChanged() override { read(); }
    void dataSetChanged() override { read(); }

private:
    void read() {
        if (!armed) return;
        ++reads;
        data::Database::forAlias(alias).run("SELECT 1 FROM \"NoSuchTable\"", {});
    }
};

void TstDataEngine::rollbackWhoseRestoreFailsToRead() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    QStringList reported;
    data::setDeferredErrorReporter([&](const data::Exception& e) { reported << e.message(); });
    auto s = staff();
    auto log = staffLog();
    data::DataSource sSource, logSource;
    sSource.setDataSet(s.get());
    logSource.setDataSet(log.get());
    FailingReader sReader, logReader;
    sReader.setDataSource(&sSource);
    logReader.setDataSource(&logSource);
    s->Open();
    log->Open();
    checkOut(*s, *log);
    // the save fails half way; the rollback runs while that error unwinds the stack
    QString caught;
    try {
        data::Transaction tr(data::Database::forAlias(alias));
        s->Post();
        log->Post();
        sReader.armed = logReader.armed = true;
        throw data::DatabaseError("the desk is closed");
    } catch (const data::DatabaseError& e) {
        caught = e.message();
    }
    QCOMPARE(caught, QString("the desk is closed"));   // the first error, not the restore's
    QVERIFY(sReader.reads > 0 && logReader.reads > 0); // both datasets were put back
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("IN"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
    QCOMPARE(s->State(), DataSetState::Edit);
    QCOMPARE(s->FieldByName("Status")->AsString(), QString("Out"));
    QCOMPARE(log->State(), DataSetState::Insert);
    QVERIFY(!data::Database::forAlias(alias).InTransaction());
    // the failing read is reported once the event in progress has ended
    QVERIFY(reported.isEmpty());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(reported.size(), 1);
    QVERIFY2(reported.first().contains("NoSuchTable"), qPrintable(reported.first()));
    // an explicit rollback raises it, after putting every dataset back
    sReader.armed = logReader.armed = false;
    data::Database& d = data::Database::forAlias(alias);
    d.StartTransaction();
    s->Post();
    log->Post();
    sReader.armed = logReader.armed = true;
    sReader.reads = logReader.reads = 0;
    QVERIFY(errorOf<data::EngineError>([&] { d.Rollback(); }).contains("NoSuchTable"));
    QVERIFY(sReader.reads > 0 && logReader.reads > 0);
    QCOMPARE(s->State(), DataSetState::Edit);
    QCOMPARE(log->State(), DataSetState::Insert);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
    sReader.armed = logReader.armed = false;
    data::setDeferredErrorReporter({});
}

void TstDataEngine::failedHistoryRowKeepsStaffRowEditing() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.refuse("Staff_Log", "INSERT", "history refused");
    auto s = staff();
    auto log = staffLog();
    s->Open();
    log->Open();
    checkOut(*s, *log);
    const QString msg = errorOf<data::EngineError>([&] {
        data::Transaction tr(data::Database::forAlias(alias));
        s->Post();
        log->Post();
        tr.Commit();
    });
    QVERIFY2(msg.contains("history refused"), qPrintable(msg));
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("IN"));
    QCOMPARE(s->State(), DataSetState::Edit);
    QCOMPARE(s->FieldByName("Status")->AsString(), QString("Out"));
    QCOMPARE(log->State(), DataSetState::Insert);
    QVERIFY(!data::Database::forAlias(alias).InTransaction());
}

void TstDataEngine::failedStatementLeavesNothingStored() {
    // one post is one transaction: a failing update leaves the table as it was
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    db.refuse("Staff", "UPDATE", "no such city", "City", "Nowhere");
    auto s = staff();
    s->Open();
    s->Edit();
    s->FieldByName("City")->SetAsString("Nowhere");
    QVERIFY(errorOf<data::EngineError>([&] { s->Post(); }).contains("no such city"));
    QCOMPARE(s->State(), DataSetState::Edit);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE City IS NOT NULL").toInt(), 0);
    // and the connection is usable: the next post goes through
    s->FieldByName("City")->SetAsString("Boston");
    s->Post();
    QCOMPARE(db.scalar("SELECT City FROM Staff WHERE Name = 'Abbott, Helen'").toString(), QString("Boston"));
}

void TstDataEngine::textComparesAndSortsInBinaryOrder_data() {
    QTest::addColumn<QString>("how"); // table: a filter (or none); query: the stored SQL
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    const QStringList all{"SMITH, BO", "Smith, Ann", "Smythe, Bo", "smith, carl"};
    QTest::newRow("table in name order") << "table"
                                         << "" << all;
    QTest::newRow("query in name order") << "query"
                                         << "SELECT Name FROM Staff ORDER BY Name" << all;
    QTest::newRow("query: = keeps case") << "query"
                                         << "SELECT Name FROM Staff WHERE Status = 'IN' ORDER BY Name"
                                         << QStringList{"SMITH, BO", "Smythe, Bo"};
    QTest::newRow("query: > in code order")
        << "query"
        << "SELECT Name FROM Staff WHERE Name > 'Smith' ORDER BY Name DESC"
        << QStringList{"smith, carl", "Smythe, Bo", "Smith, Ann"};
    QTest::newRow("query: IN list keeps case")
        << "query"
        << "SELECT Name FROM Staff WHERE Status IN ('in', 'Out') ORDER BY Name"
        << QStringList{"Smith, Ann", "smith, carl"};
    QTest::newRow("table filter keeps case") << "table"
                                             << "Status = 'in'" << QStringList{"Smith, Ann"};
}

void TstDataEngine::textComparesAndSortsInBinaryOrder() {
    // The same answers on every engine, whatever the server's own collation.
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    testsupport::TestDatabase db;
    db.addStaff("smith, carl", {{"Status", "Out"}});
    db.addStaff("Smythe, Bo");
    db.addStaff("Smith, Ann", {{"Status", "in"}});
    db.addStaff("SMITH, BO");
    if (how == "table") {
        auto s = staff();
        if (!text.isEmpty()) {
            s->SetFilter(text);
            s->SetFiltered(true);
        }
        s->Open();
        QCOMPARE(column(*s), names);
        QCOMPARE(s->Locate("Name", "smith, ann"), false);
        QCOMPARE(s->Locate("Name", names.last()), true);
    } else {
        data::Query q("Query1");
        q.SetDatabaseName(alias);
        q.SetSQL({text});
        q.Open();
        QCOMPARE(column(q), names);
    }
}

QTEST_MAIN(TstDataEngine)
#include "tst_data_engine.moc"
