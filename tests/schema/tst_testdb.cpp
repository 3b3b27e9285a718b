// The per-test database fixture: a fresh alias and database in a temporary folder, helpers
// for plain SQL, and the environment put back afterwards.
#include "admin/schema_admin.h"
#include "data/database.h"
#include "tests/support/testdb.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <stdexcept>

using testsupport::TestDatabase;

class TestTestDatabase : public QObject {
    Q_OBJECT

private slots:
    void pointsTheUserFoldersAtItsOwnFolder();
    void environmentIsPutBack_data();
    void environmentIsPutBack();
    void freshAndEmptyEachTime();
    void sampleRows();
    void theLayerOpensTheAlias();
    void addStaffStartsAsNewProfile();
    void addStaffWithMoreColumns();
    void addDeptAndDestination();
    void helpersRunPlainSql();
    void failingSqlThrows();
    void dropTableAndIndex();
    void refuseThenAllow();
};

void TestTestDatabase::pointsTheUserFoldersAtItsOwnFolder() {
    TestDatabase db;
    const QString dir = db.dir();
    QVERIFY(QFileInfo(dir).isDir());
    QCOMPARE(qEnvironmentVariable("XDG_CONFIG_HOME"), dir);
    QCOMPARE(qEnvironmentVariable("XDG_DATA_HOME"), dir);

    // The engine's alias file lies in the folder and names the database.
    QCOMPARE(data::AliasConfig::configFilePath(), dir + "/quorvale/aliases.ini");
    QSettings ini(data::AliasConfig::configFilePath(), QSettings::IniFormat);
    QCOMPARE(admin::defaultDatabaseFile(), dir + "/quorvale/corvane2003.db");
    if (db.postgres()) {
        QVERIFY(db.file().isEmpty());
        QVERIFY(db.postgresDatabase().startsWith("quorvale_test_"));
        QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("PSQL"));
        QCOMPARE(ini.value("Corvane2003/Database").toString(), db.postgresDatabase());
        const data::AliasConfig cfg = data::AliasConfig::load("Corvane2003");
        const QVariantMap server = testsupport::postgresTestSettings();
        QCOMPARE(cfg.host, server.value("host").toString());
        QCOMPARE(cfg.user, server.value("user").toString());
        QCOMPARE(cfg.port, server.value("port").toInt());
        QVERIFY(cfg.path.isEmpty());
        return;
    }
    QCOMPARE(QFileInfo(db.file()).absolutePath(), dir);
    QCOMPARE(QFileInfo(db.file()).fileName(), QString("corvane2003.db"));
    QVERIFY(QFile::exists(db.file()));
    QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("SQLITE"));
    QCOMPARE(ini.value("Corvane2003/Path").toString(), db.file());
    QCOMPARE(data::AliasConfig::load("Corvane2003").path, db.file());
}

void TestTestDatabase::environmentIsPutBack_data() {
    QTest::addColumn<bool>("wasSet");
    QTest::newRow("set before") << true;
    QTest::newRow("unset before") << false;
}

void TestTestDatabase::environmentIsPutBack() {
    QFETCH(bool, wasSet);
    const QByteArray config = qgetenv("XDG_CONFIG_HOME"), dataHome = qgetenv("XDG_DATA_HOME");
    const bool configSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const bool dataSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    if (wasSet) {
        qputenv("XDG_CONFIG_HOME", "/nonexistent/config-home");
        qputenv("XDG_DATA_HOME", "/nonexistent/data-home");
    } else {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    {
        TestDatabase db;
        QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME") != "/nonexistent/config-home");
    }
    QCOMPARE(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"), wasSet);
    QCOMPARE(qEnvironmentVariableIsSet("XDG_DATA_HOME"), wasSet);
    if (wasSet) {
        QCOMPARE(qgetenv("XDG_CONFIG_HOME"), QByteArray("/nonexistent/config-home"));
        QCOMPARE(qgetenv("XDG_DATA_HOME"), QByteArray("/nonexistent/data-home"));
    }
    configSet ? qputenv("XDG_CONFIG_HOME", config) : qunsetenv("XDG_CONFIG_HOME");
    dataSet ? qputenv("XDG_DATA_HOME", dataHome) : qunsetenv("XDG_DATA_HOME");
}

// The user tables of the fixture's database, by name.
static QStringList tableNames(TestDatabase& db) {
    const QString sql =
        db.postgres() ? "SELECT table_name FROM information_schema.tables WHERE table_schema = 'public' "
                        "ORDER BY table_name"
                      : "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                        "ORDER BY name";
    QStringList found;
    for (const QVariantMap& r : db.rows(sql))
        found << r.first().toString();
    return found;
}

// Tables and indexes of that name in the fixture's database.
static int objectCount(TestDatabase& db, const QString& name) {
    return db
        .scalar(db.postgres() ? "SELECT COUNT(*) FROM pg_class WHERE relname = ?"
                              : "SELECT COUNT(*) FROM sqlite_master WHERE name = ?",
                {name})
        .toInt();
}

void TestTestDatabase::freshAndEmptyEachTime() {
    QString first;
    {
        TestDatabase db;
        first = db.postgres() ? db.postgresDatabase() : db.file();
        db.addStaff("Abbott, Helen");
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
    }
    TestDatabase db;
    if (db.postgres()) {
        QVERIFY(db.postgresDatabase() != first);
        // the database goes with the fixture
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM pg_database WHERE datname = ?", {first}).toInt(), 0);
    } else {
        QVERIFY(!QFile::exists(first)); // the folder goes with the fixture
        QVERIFY(db.file() != first);
    }
    const QStringList tables{"Dept", "Destination", "Media", "Mess", "Msgtype", "Staff", "Staff_Log"};
    QStringList found = tableNames(db);
    found.sort();
    QCOMPARE(found, tables);
    for (const QString& t : tables)
        QCOMPARE(db.scalar(QString("SELECT COUNT(*) FROM \"%1\"").arg(t)).toInt(), 0);
}

void TestTestDatabase::sampleRows() {
    TestDatabase db(true);
    QVERIFY(db.scalar("SELECT COUNT(*) FROM Staff").toInt() >= 8);
    QVERIFY(db.scalar("SELECT COUNT(*) FROM Dept").toInt() >= 4);
    QVERIFY(db.scalar("SELECT COUNT(*) FROM Media").toInt() >= 4);
    QVERIFY(db.scalar("SELECT COUNT(*) FROM Msgtype").toInt() >= 4);
    QVERIFY(db.scalar("SELECT COUNT(*) FROM Destination").toInt() >= 3);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Status NOT IN ('IN', 'Out')").toInt(), 0);
}

void TestTestDatabase::theLayerOpensTheAlias() {
    TestDatabase db;
    db.addStaff("Abbott, Helen");
    data::Database& layer = data::Database::forAlias("Corvane2003");
    QVERIFY(layer.tableExists("Staff"));
    QVERIFY(layer.tableExists("Staff_Log"));
    QCOMPARE(layer.indexFields("Staff", "NAMEIndex"), QStringList{"Name"});
    QCOMPARE(layer.columns("Staff_Log").value(7), QString("Date Left"));
    QCOMPARE(layer.primaryKey("Mess"), QString("Mess_No"));
}

void TestTestDatabase::addStaffStartsAsNewProfile() {
    TestDatabase db;
    db.addStaff("Abbott, Helen");
    const auto rows = db.rows("SELECT * FROM Staff");
    QCOMPARE(rows.size(), 1);
    const QVariantMap& r = rows.first();
    QCOMPARE(r.value("Name").toString(), QString("Abbott, Helen"));
    QCOMPARE(r.value("Status").toString(), QString("IN"));
    QCOMPARE(r.value("Destination").toString(), QString("IN Office"));
    QCOMPARE(r.value("Employee_No").toInt(), 1);
    for (const char* empty : {"Emp_Num", "Password", "EMail", "Date_Left", "Contact_Phone"})
        QVERIFY2(r.value(empty).isNull(), empty);
}

void TestTestDatabase::addStaffWithMoreColumns() {
    TestDatabase db;
    db.addStaff(
        "Castillo, Rosa",
        {{"Status", "Out"}, {"Destination", "Client Visit"}, {"Emp_Num", 1003.0}, {"Date_Left", "3/11/26"}});
    db.addStaff("Nobody, Yet", {{"Status", QVariant()}, {"Destination", QVariant()}});
    QCOMPARE(db.rows("SELECT Status, Destination, Emp_Num, Date_Left FROM Staff WHERE Name = ?",
                     {"Castillo, Rosa"})
                 .value(0),
             (QVariantMap{{"Status", "Out"},
                          {"Destination", "Client Visit"},
                          {"Emp_Num", 1003.0},
                          {"Date_Left", "3/11/26"}}));
    QVERIFY(db.scalar("SELECT Status FROM Staff WHERE Name = 'Nobody, Yet'").isNull());
    QVERIFY(db.scalar("SELECT Destination FROM Staff WHERE Name = 'Nobody, Yet'").isNull());
}

void TestTestDatabase::addDeptAndDestination() {
    TestDatabase db;
    db.addDept("Sales");
    db.addDept("Accounting");
    db.addDestination("Harbor Terminal", {{"Company", "Bellmont Shipping"}, {"Longitude", -76.5}});
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Dept").toInt(), 2);
    QCOMPARE(db.scalar("SELECT Department FROM Dept ORDER BY Department").toString(), QString("Accounting"));
    const QVariantMap d = db.rows("SELECT * FROM Destination").value(0);
    QCOMPARE(d.value("Destination").toString(), QString("Harbor Terminal"));
    QCOMPARE(d.value("Company").toString(), QString("Bellmont Shipping"));
    QCOMPARE(d.value("Longitude").toDouble(), -76.5);
    QVERIFY(d.value("Latitude").isNull());
}

void TestTestDatabase::helpersRunPlainSql() {
    TestDatabase db;
    db.exec("INSERT INTO Mess (\"To\", \"Message Type\", Status) VALUES (?, ?, ?)",
            {"Abbott, Helen", "Urgent", "Active"});
    db.insert("Mess", {{"To", "Brennan, Martin"}, {"Message Given", "Call back"}});
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Mess WHERE \"To\" LIKE ?", {"%, %"}).toInt(), 2);
    const auto rows = db.rows("SELECT Mess_No, \"Message Type\" FROM Mess ORDER BY Mess_No");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].value("Message Type").toString(), QString("Urgent"));
    QVERIFY(rows[1].value("Message Type").isNull());
    QVERIFY(db.scalar("SELECT Name FROM Staff").isNull()); // no row: a null value
    QVERIFY(db.raw().isOpen());
    QCOMPARE(db.raw().connectionName(), db.raw().connectionName());
}

void TestTestDatabase::failingSqlThrows() {
    TestDatabase db;
    db.addStaff("Abbott, Helen");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.addStaff("Abbott, Helen"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.exec("SELECT * FROM NoSuchTable"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.scalar("SELEC 1"));
}

void TestTestDatabase::dropTableAndIndex() {
    TestDatabase db;
    db.dropIndex("NAMEIndex");
    db.dropTable("Msgtype");
    QCOMPARE(objectCount(db, "NAMEIndex"), 0);
    QCOMPARE(objectCount(db, "Msgtype"), 0);
    QCOMPARE(objectCount(db, "Staff"), 1);
    // The layer sees it too.
    data::Database& layer = data::Database::forAlias("Corvane2003");
    QVERIFY(!layer.tableExists("Msgtype"));
    QVERIFY_THROWS_EXCEPTION(data::EngineError, layer.indexFields("Staff", "NAMEIndex"));
}

void TestTestDatabase::refuseThenAllow() {
    TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.refuse("Staff", "UPDATE", "the desk is closed");
    db.refuse("Staff", "DELETE", "no removals");
    db.refuse("Dept", "INSERT", "no departments");
    try {
        db.exec("UPDATE Staff SET Status = 'OUT'");
        QFAIL("the update went through");
    } catch (const std::runtime_error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains("the desk is closed"), e.what());
    }
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.exec("DELETE FROM Staff"));

    // Every refusal on Staff goes; the one on Dept stays.
    db.allow("Staff");
    db.exec("UPDATE Staff SET Status = 'OUT'");
    QCOMPARE(db.scalar("SELECT Status FROM Staff").toString(), QString("OUT"));
    db.exec("DELETE FROM Staff");
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.addDept("Sales"));
    db.allow("Staff"); // nothing left there: no error
    db.allow("Dept");
    db.addDept("Sales");
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Dept").toInt(), 1);
}

QTEST_GUILESS_MAIN(TestTestDatabase)
#include "tst_testdb.moc"
