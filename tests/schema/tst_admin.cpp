// The admin tool, run as the real executable: the alias, the seven tables with their columns
// and indexes as SQLite holds them, the sample rows, and that running it again is harmless.
#include "tests/support/testdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

#ifndef QUORVALE_ADMIN_EXE
#error "QUORVALE_ADMIN_EXE must name the quorvale-admin executable"
#endif

namespace {

struct Result {
    int exitCode = -1;
    QString out, err;
};

// A per-test home: XDG_CONFIG_HOME and XDG_DATA_HOME of the child point into it.
class Home {
public:
    Home() { QVERIFY(dir_.isValid()); }
    QString path() const { return dir_.path(); }
    QString config() const { return dir_.path() + "/config"; }
    QString data() const { return dir_.path() + "/data"; }
    QString aliasFile() const { return config() + "/quorvale/aliases.ini"; }
    QString defaultDb() const { return data() + "/quorvale/corvane2003.db"; }

    Result run(const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config());
        env.insert("XDG_DATA_HOME", data());
        p.setProcessEnvironment(env);
        p.start(QUORVALE_ADMIN_EXE, args);
        Result r;
        if (!p.waitForStarted() || !p.waitForFinished(120000)) {
            r.err = "quorvale-admin did not run: " + p.errorString();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

private:
    QTemporaryDir dir_;
};

// A plain SQLite connection of the test's own, closed again at the end of its scope.
class Raw {
public:
    explicit Raw(const QString& file) : name_(QString("tst_admin_%1").arg(++counter_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(file);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
        ok_ = db.open();
    }
    ~Raw() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    // A connection to a database on the PostgreSQL server of QUORVALE_TEST_PSQL.
    Raw(const QVariantMap& server, const QString& database) : name_(QString("tst_admin_%1").arg(++counter_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name_);
        db.setHostName(server.value("host").toString());
        if (server.contains("port")) db.setPort(server.value("port").toInt());
        db.setUserName(server.value("user").toString());
        db.setPassword(server.value("password").toString());
        db.setDatabaseName(database);
        ok_ = db.open();
        if (!ok_) lastError = db.lastError().text();
    }
    bool ok() const { return ok_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

    // Runs a statement; false (and the error in lastError) when the engine refuses it.
    bool exec(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(db());
        if (binds.isEmpty()) { // unprepared: PostgreSQL prepares no DDL
            if (!q.exec(sql)) {
                lastError = q.lastError().text();
                return false;
            }
            return true;
        }
        if (!q.prepare(sql)) {
            lastError = q.lastError().text();
            return false;
        }
        for (const QVariant& v : binds)
            q.addBindValue(v);
        if (!q.exec()) {
            lastError = q.lastError().text();
            return false;
        }
        return true;
    }
    QList<QVariantList> rows(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& v : binds)
            q.addBindValue(v);
        QList<QVariantList> out;
        if (!q.exec()) {
            lastError = q.lastError().text();
            return out;
        }
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            out << row;
        }
        return out;
    }
    QVariant scalar(const QString& sql, const QVariantList& binds = {}) {
        const auto r = rows(sql, binds);
        return r.isEmpty() ? QVariant() : r.first().value(0);
    }
    QStringList column(const QString& sql, const QVariantList& binds = {}) {
        QStringList out;
        for (const QVariantList& r : rows(sql, binds))
            out << r.value(0).toString();
        return out;
    }
    int count(const QString& table) {
        return scalar(QString("SELECT COUNT(*) FROM \"%1\"").arg(table)).toInt();
    }
    // Every table's and index's stored SQL: the schema as sqlite3 shows it.
    QStringList schema() {
        return column("SELECT type || ' ' || name || ': ' || COALESCE(sql, '') FROM sqlite_master "
                      "ORDER BY type, name");
    }

    QString lastError;

private:
    static inline int counter_ = 0;
    QString name_;
    bool ok_ = false;
};

const QStringList AllTables{"Dept", "Destination", "Media", "Mess", "Msgtype", "Staff", "Staff_Log"};

QStringList userTables(Raw& raw) {
    return raw.column("SELECT name FROM sqlite_master WHERE type = 'table' "
                      "AND name NOT LIKE 'sqlite_%' ORDER BY name");
}

// An empty database of its own on the PostgreSQL server of QUORVALE_TEST_PSQL, dropped
// again at the end of its scope.
class PgDatabase {
public:
    PgDatabase()
        : server_(testsupport::postgresTestSettings()),
          name_(QString("quorvale_admin_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter_)) {
        Raw admin(server_, server_.value("dbname", "postgres").toString());
        ok_ = admin.ok() && admin.exec("CREATE DATABASE \"" + name_ + "\"");
        if (!ok_) error_ = admin.lastError;
    }
    ~PgDatabase() {
        Raw admin(server_, server_.value("dbname", "postgres").toString());
        admin.exec("DROP DATABASE IF EXISTS \"" + name_ + "\" WITH (FORCE)");
    }
    bool ok() const { return ok_; }
    QString error() const { return error_; }
    QString name() const { return name_; }
    const QVariantMap& server() const { return server_; }
    // The --psql settings naming this database (optionally with one setting replaced).
    QString settings() const {
        QStringList parts{"host=" + server_.value("host").toString(), "database=" + name_,
                          "user=" + server_.value("user").toString()};
        if (server_.contains("port")) parts << "port=" + server_.value("port").toString();
        if (server_.contains("password")) parts << "password=" + server_.value("password").toString();
        return parts.join(',');
    }

private:
    QVariantMap server_;
    QString name_, error_;
    bool ok_ = false;
    static inline int counter_ = 0;
};

#define REQUIRE_POSTGRES(pg)                                                                                 \
    if (!testsupport::TestDatabase::onPostgres()) QSKIP("needs a PostgreSQL server in QUORVALE_TEST_PSQL");  \
    PgDatabase pg;                                                                                           \
    QVERIFY2(pg.ok(), qPrintable(pg.error()))

QStringList pgUserTables(Raw& raw) {
    return raw.column("SELECT table_name FROM information_schema.tables WHERE table_schema = 'public' "
                      "ORDER BY table_name COLLATE \"C\"");
}

} // namespace

class TestAdmin : public QObject {
    Q_OBJECT

private slots:
    void usageOnBadArguments_data();
    void usageOnBadArguments();
    void initRegistersAliasForDefaultFile();
    void initWithDatabaseOption_data();
    void initWithDatabaseOption();
    void initKeepsOtherAliases();
    void initFailsWhereNoFileCanBeMade();
    void startPathKeepsConfiguredPsqlAlias();
    void startPathMakesTheDefaultDatabaseOnce();
    void initDoesNotRepointAliasOfAnotherDriver();
    void aliasFileIsTheOwnersAlone();
    void tablesAndColumns_data();
    void tablesAndColumns();
    void indexes_data();
    void indexes();
    void uniqueIndexesRefuseDuplicatesButNotNulls_data();
    void uniqueIndexesRefuseDuplicatesButNotNulls();
    void textIsCaseSensitive();
    void keysAreNumberedByTheEngine_data();
    void keysAreNumberedByTheEngine();
    void initTwiceIsHarmless();
    void initRestoresMissingTableAndIndex();
    void sampleTwiceAddsRowsOnce();
    void sampleOnlyIntoEmptyTables();
    void sampleRowsAreConsistent();
    void psqlSettingsRefused_data();
    void psqlSettingsRefused();
    void psqlUnreachableServerKeepsTheAlias();
    void psqlInitRegistersAliasAndTables();
    void psqlColumns_data() { tablesAndColumns_data(); }
    void psqlColumns();
    void psqlIndexes_data() { indexes_data(); }
    void psqlIndexes();
    void psqlTextIsCaseSensitiveAndNullsDoNotClash();
    void psqlInitAgainKeepsDataAndRestores();
};

void TestAdmin::usageOnBadArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"create"};
    QTest::newRow("unknown option") << QStringList{"init", "--force"};
    QTest::newRow("database without file") << QStringList{"init", "--database"};
    QTest::newRow("option before command") << QStringList{"--sample", "init"};
    QTest::newRow("psql without settings") << QStringList{"init", "--psql"};
    QTest::newRow("psql and a file") << QStringList{"init", "--psql", "host=h,database=d,user=u",
                                                    "--database", "x.db"};
}

void TestAdmin::usageOnBadArguments() {
    QFETCH(QStringList, args);
    Home home;
    const Result r = home.run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains("usage: quorvale-admin init [--database FILE] [--sample]"), qPrintable(r.err));
    QVERIFY2(
        r.err.contains("quorvale-admin init --psql host=H,port=P,database=D,user=U[,password=W] [--sample]"),
        qPrintable(r.err));
    QVERIFY(!QFile::exists(home.aliasFile()));
    QVERIFY(!QFile::exists(home.defaultDb()));
}

void TestAdmin::initRegistersAliasForDefaultFile() {
    Home home;
    QVERIFY(!QDir(home.data()).exists());
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(QFile::exists(home.defaultDb()));

    QVERIFY(QFile::exists(home.aliasFile()));
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QVERIFY(ini.childGroups().contains("Corvane2003"));
    ini.beginGroup("Corvane2003");
    QCOMPARE(ini.value("Driver").toString(), QString("SQLITE"));
    QCOMPARE(QFileInfo(ini.value("Path").toString()).canonicalFilePath(),
             QFileInfo(home.defaultDb()).canonicalFilePath());

    Raw raw(home.defaultDb());
    QVERIFY(raw.ok());
    QCOMPARE(userTables(raw), AllTables);
    for (const QString& t : AllTables)
        QCOMPARE(raw.count(t), 0);
}

void TestAdmin::initWithDatabaseOption_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file"); // relative to the home folder
    QTest::newRow("separate argument")
        << QStringList{"init", "--database", "@/desk/shared.db"} << "desk/shared.db";
    QTest::newRow("with equals sign") << QStringList{"init", "--database=@/other.db"} << "other.db";
    QTest::newRow("after --sample") << QStringList{"init", "--sample", "--database", "@/s/x.db"} << "s/x.db";
}

void TestAdmin::initWithDatabaseOption() {
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    Home home;
    for (QString& a : args)
        a.replace("@", home.path());
    const Result r = home.run(args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString db = home.path() + "/" + file;
    QVERIFY(QFile::exists(db));
    QVERIFY(!QFile::exists(home.defaultDb()));

    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QCOMPARE(QFileInfo(ini.value("Corvane2003/Path").toString()).canonicalFilePath(),
             QFileInfo(db).canonicalFilePath());
    Raw raw(db);
    QCOMPARE(userTables(raw), AllTables);
}

void TestAdmin::initKeepsOtherAliases() {
    Home home;
    QDir().mkpath(QFileInfo(home.aliasFile()).absolutePath());
    {
        QSettings ini(home.aliasFile(), QSettings::IniFormat);
        ini.setValue("Import/Driver", "ODBC");
        ini.setValue("Import/DSN", "OldStaff");
    }
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QCOMPARE(ini.value("Import/DSN").toString(), QString("OldStaff"));
    QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("SQLITE"));
}

// A PostgreSQL alias as the README sets it up by hand (no server needed: nothing may reach it).
static void writePsqlAlias(const Home& home) {
    QDir().mkpath(QFileInfo(home.aliasFile()).absolutePath());
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    ini.setValue("Corvane2003/Driver", "PSQL");
    ini.setValue("Corvane2003/Host", "db.example");
    ini.setValue("Corvane2003/Port", 5432);
    ini.setValue("Corvane2003/Database", "corvane");
    ini.setValue("Corvane2003/User", "desk");
}

static void verifyPsqlAliasKept(const Home& home) {
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("PSQL"));
    QCOMPARE(ini.value("Corvane2003/Host").toString(), QString("db.example"));
    QCOMPARE(ini.value("Corvane2003/Database").toString(), QString("corvane"));
    QVERIFY(!ini.contains("Corvane2003/Path"));
    QVERIFY(!QFile::exists(home.defaultDb()));
}

// scripts/setup.sh start's alias step
static const QStringList startAliasStep{"init", "--sample", "--if-no-alias"};

void TestAdmin::startPathKeepsConfiguredPsqlAlias() {
    Home home;
    writePsqlAlias(home);
    for (int start = 0; start < 2; ++start) {
        const Result r = home.run(startAliasStep);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains("configured already"), qPrintable(r.out));
        verifyPsqlAliasKept(home);
    }
}

void TestAdmin::startPathMakesTheDefaultDatabaseOnce() {
    Home home;
    Result r = home.run(startAliasStep);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(QFile::exists(home.defaultDb()));
    {
        QSettings ini(home.aliasFile(), QSettings::IniFormat);
        QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("SQLITE"));
    }
    {
        Raw raw(home.defaultDb());
        QVERIFY(raw.scalar("SELECT COUNT(*) FROM Staff").toInt() > 0);
    }
    r = home.run(startAliasStep);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("configured already"), qPrintable(r.out));
}

void TestAdmin::initDoesNotRepointAliasOfAnotherDriver() {
    Home home;
    writePsqlAlias(home);
    const Result r = home.run({"init", "--sample"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("The alias Corvane2003 already names a PSQL database") &&
                 r.err.contains("--replace"),
             qPrintable(r.err));
    verifyPsqlAliasKept(home);
    // told to: the alias names the SQLite file
    const Result replaced = home.run({"init", "--replace"});
    QVERIFY2(replaced.exitCode == 0, qPrintable(replaced.err));
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("SQLITE"));
    QVERIFY(!ini.contains("Corvane2003/Host"));
    QVERIFY(QFile::exists(home.defaultDb()));
}

void TestAdmin::aliasFileIsTheOwnersAlone() {
    Home home;
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QFileDevice::Permissions p = QFile::permissions(home.aliasFile());
    QVERIFY(p.testFlag(QFileDevice::ReadOwner) && p.testFlag(QFileDevice::WriteOwner));
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QVERIFY(!(p & others));
    // and so it stays when init writes it again
    QCOMPARE(home.run({"init"}).exitCode, 0);
    QVERIFY(!(QFile::permissions(home.aliasFile()) & others));
}

void TestAdmin::initFailsWhereNoFileCanBeMade() {
    Home home;
    QFile blocker(home.path() + "/plain-file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Result r = home.run({"init", "--database", blocker.fileName() + "/x.db"});
    QVERIFY2(r.exitCode != 0 && r.exitCode != 2, qPrintable(QString::number(r.exitCode)));
    QVERIFY(r.err.contains(blocker.fileName() + "/x.db"));
    QVERIFY(!QFile::exists(home.aliasFile())); // no alias for a database that is not there
}

void TestAdmin::tablesAndColumns_data() {
    QTest::addColumn<QString>("table");
    // name:kind[:width]; kind: key, text, float, datetime, memo
    QTest::addColumn<QStringList>("columns");

    QTest::newRow("Staff") << "Staff"
                           << QStringList{
                                  "Employee_No:key",      "Name:text:25",        "Emp_Num:float",
                                  "Password:text:8",      "EMail:text:35",       "Social_Security:text:12",
                                  "Address1:text:25",     "Address2:text:25",    "City:text:25",
                                  "State:text:2",         "ZipCode:text:12",     "Phone:text:13",
                                  "Department:text:25",   "Alternate:text:13",   "Fax:text:13",
                                  "DOB:datetime",         "Login_Name:text:8",   "Comments:memo",
                                  "Destination:text:25",  "Date_Left:text:15",   "Time_Left:text:15",
                                  "Return_Date:text:15",  "Return_Time:text:15", "Status:text:3",
                                  "Contact_Phone:text:13"};
    QTest::newRow("Staff_Log")
        << "Staff_Log"
        << QStringList{"Transaction_Id:key",       "Login_Name:text:8",   "Transaction_Date:text:20",
                       "Transaction_Time:text:20", "Name:text:25",        "Department:text:25",
                       "Destination:text:25",      "Date Left:text:15",   "Time_Left:text:15",
                       "Return_Date:text:15",      "Return_Time:text:15", "Status:text:3",
                       "Contact_Phone:text:13"};
    QTest::newRow("Destination") << "Destination" << QStringList{"Destination_Id:key", "Destination:text:25",
                                                                 "Company:text:35",    "Address:text:45",
                                                                 "City:text:35",       "State:text:2",
                                                                 "ZipCode:text:12",    "Longitude:float",
                                                                 "Latitude:float"};
    QTest::newRow("Dept") << "Dept" << QStringList{"Dept_Id:key", "Department:text:30"};
    QTest::newRow("Mess")
        << "Mess"
        << QStringList{
               "Mess_No:key",   "To:text:35",           "Date:text:50",           "Time:text:50",
               "From:text:25",  "Company:text:30",      "Phone:text:14",          "Ext:text:4",
               "Media:text:16", "Message Type:text:25", "Message Given:text:200", "Message Taken By:text:3",
               "Status:text:8", "Comments:memo",        "Response:memo"};
    QTest::newRow("Media") << "Media" << QStringList{"Media_Id:key", "Media_Type:text:35"};
    QTest::newRow("Msgtype") << "Msgtype" << QStringList{"Msgtype_Id:key", "Message Type:text:30"};
}

void TestAdmin::tablesAndColumns() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    Home home;
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(home.defaultDb());

    // cid, name, type, notnull, dflt_value, pk
    const auto info = raw.rows(QString("PRAGMA table_info(\"%1\")").arg(table));
    QCOMPARE(info.size(), columns.size());
    for (int i = 0; i < columns.size(); ++i) {
        const QStringList want = columns[i].split(':');
        const QString name = info[i][1].toString();
        const QString type = info[i][2].toString().toUpper();
        const int pk = info[i][5].toInt();
        QCOMPARE(name, want[0]);
        const QString kind = want[1];
        QCOMPARE(pk, kind == "key" ? 1 : 0);
        if (kind == "key") {
            QCOMPARE(type, QString("INTEGER")); // the row number itself
        } else if (kind == "text") {
            QVERIFY2(type.contains("CHAR(" + want[2] + ")"), qPrintable(name + ": " + type));
        } else if (kind == "float") {
            QVERIFY2(type.contains("DOUB") || type.contains("REAL") || type.contains("FLOA"),
                     qPrintable(name + ": " + type));
        } else if (kind == "memo") {
            QVERIFY2(type.contains("TEXT") || type.contains("CLOB"), qPrintable(name + ": " + type));
        } else if (kind == "datetime") {
            QVERIFY2(type.contains("DATE") || type.contains("TIME"), qPrintable(name + ": " + type));
        }
        QCOMPARE(info[i][3].toInt(), 0); // no field is required by the table
    }
}

void TestAdmin::indexes_data() {
    QTest::addColumn<QString>("table");
    // name:unique|dup:field,field
    QTest::addColumn<QStringList>("indexes");

    QTest::newRow("Staff") << "Staff"
                           << QStringList{"EmailIndex:unique:EMail",
                                          "EmpNumIndex:unique:Emp_Num",
                                          "NAMEIndex:unique:Name",
                                          "PASSWORDIndex:unique:Password",
                                          "Staff#PX:unique:Employee_No,Name,Emp_Num,Password,EMail",
                                          "StaffDepartment:dup:Department,Name",
                                          "StaffStatus:dup:Status,Name",
                                          "ZipCode:dup:ZipCode"};
    QTest::newRow("Staff_Log") << "Staff_Log"
                               << QStringList{"Staff_LogName:dup:Name,Transaction_Date,Transaction_Time",
                                              "Staff_LogNameId:dup:Name,Transaction_Id"};
    QTest::newRow("Destination") << "Destination" << QStringList{"DestinationName:dup:Destination"};
    QTest::newRow("Dept") << "Dept" << QStringList{"DeptName:dup:Department"};
    QTest::newRow("Mess") << "Mess" << QStringList{"MessTo:dup:To,Mess_No"};
    QTest::newRow("Media") << "Media" << QStringList{"MediaType:dup:Media_Type"};
    QTest::newRow("Msgtype") << "Msgtype" << QStringList{"MsgtypeType:dup:Message Type"};
}

void TestAdmin::indexes() {
    QFETCH(QString, table);
    QFETCH(QStringList, indexes);
    Home home;
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(home.defaultDb());

    QStringList found;
    for (const QVariantList& ix :
         raw.rows("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                  "AND sql IS NOT NULL ORDER BY name",
                  {table})) {
        const QString name = ix[0].toString();
        const bool unique = ix[1].toString().toUpper().startsWith("CREATE UNIQUE INDEX");
        const QStringList fields = raw.column(QString("SELECT name FROM pragma_index_info('%1') "
                                                      "ORDER BY seqno")
                                                  .arg(QString(name).replace("'", "''")));
        found << name + ":" + (unique ? "unique" : "dup") + ":" + fields.join(',');
    }
    QCOMPARE(found, indexes);
}

void TestAdmin::uniqueIndexesRefuseDuplicatesButNotNulls_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("Name") << "Name" << QVariant("Abbott, Helen");
    QTest::newRow("Emp_Num") << "Emp_Num" << QVariant(1001.0);
    QTest::newRow("EMail") << "EMail" << QVariant("helen@corvane.example");
    QTest::newRow("Password") << "Password" << QVariant("secret");
}

void TestAdmin::uniqueIndexesRefuseDuplicatesButNotNulls() {
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    Raw raw(home.defaultDb());

    const QString insert = QString("INSERT INTO Staff (\"%1\") VALUES (?)").arg(column);
    QVERIFY2(raw.exec(insert, {value}), qPrintable(raw.lastError));
    QVERIFY(!raw.exec(insert, {value}));
    QVERIFY2(raw.lastError.contains("UNIQUE", Qt::CaseInsensitive), qPrintable(raw.lastError));
    // Employees without this value: as many as there are.
    for (int i = 0; i < 3; ++i)
        QVERIFY2(raw.exec(insert, {QVariant()}), qPrintable(raw.lastError));
    QCOMPARE(raw.count("Staff"), 4);
}

void TestAdmin::textIsCaseSensitive() {
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    Raw raw(home.defaultDb());
    // A unique name differing only in case is another name.
    for (const char* name : {"abbott, helen", "Abbott, Helen", "ABBOTT, HELEN"})
        QVERIFY2(raw.exec("INSERT INTO Staff (Name) VALUES (?)", {name}), qPrintable(raw.lastError));
    QCOMPARE(raw.column("SELECT Name FROM Staff ORDER BY Name"),
             (QStringList{"ABBOTT, HELEN", "Abbott, Helen", "abbott, helen"}));
    QCOMPARE(raw.scalar("SELECT COUNT(*) FROM Staff WHERE Name = 'Abbott, Helen'").toInt(), 1);
    QVERIFY(raw.exec("INSERT INTO Staff (Name, Status) VALUES ('x', 'in')"));
    QCOMPARE(raw.scalar("SELECT COUNT(*) FROM Staff WHERE Status = 'IN'").toInt(), 0);
}

void TestAdmin::keysAreNumberedByTheEngine_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("column");
    QTest::newRow("Staff") << "Staff"
                           << "Employee_No"
                           << "Name";
    QTest::newRow("Staff_Log") << "Staff_Log"
                               << "Transaction_Id"
                               << "Name";
    QTest::newRow("Destination") << "Destination"
                                 << "Destination_Id"
                                 << "Destination";
    QTest::newRow("Dept") << "Dept"
                          << "Dept_Id"
                          << "Department";
    QTest::newRow("Mess") << "Mess"
                          << "Mess_No"
                          << "To";
    QTest::newRow("Media") << "Media"
                           << "Media_Id"
                           << "Media_Type";
    QTest::newRow("Msgtype") << "Msgtype"
                             << "Msgtype_Id"
                             << "Message Type";
}

void TestAdmin::keysAreNumberedByTheEngine() {
    QFETCH(QString, table);
    QFETCH(QString, key);
    QFETCH(QString, column);
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    Raw raw(home.defaultDb());
    const QString insert = QString("INSERT INTO \"%1\" (\"%2\") VALUES (?)").arg(table, column);
    for (const char* v : {"b", "a", "c"})
        QVERIFY2(raw.exec(insert, {v}), qPrintable(raw.lastError));
    // A deleted last number is not given again: the history keeps its order of storing.
    QVERIFY(raw.exec(QString("DELETE FROM \"%1\" WHERE \"%2\" = 'c'").arg(table, column)));
    QVERIFY(raw.exec(insert, {"d"}));
    QCOMPARE(raw.column(QString("SELECT \"%1\" FROM \"%2\" ORDER BY \"%1\"").arg(key, table)),
             (QStringList{"1", "2", "4"}));
}

void TestAdmin::initTwiceIsHarmless() {
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    QStringList schema;
    {
        Raw raw(home.defaultDb());
        schema = raw.schema();
        QVERIFY(raw.exec("INSERT INTO Staff (Name, Status) VALUES ('Abbott, Helen', 'IN')"));
        QVERIFY(
            raw.exec("INSERT INTO Mess (\"To\", \"Message Given\") VALUES ('Abbott, Helen', 'Call back')"));
    }
    const Result r = home.run({"init"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(home.defaultDb());
    QCOMPARE(raw.schema(), schema);
    QCOMPARE(raw.column("SELECT Name FROM Staff"), QStringList{"Abbott, Helen"});
    QCOMPARE(raw.column("SELECT \"Message Given\" FROM Mess"), QStringList{"Call back"});
}

void TestAdmin::initRestoresMissingTableAndIndex() {
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    QStringList schema;
    {
        Raw raw(home.defaultDb());
        schema = raw.schema();
        QVERIFY(raw.exec("INSERT INTO Staff (Name) VALUES ('Abbott, Helen')"));
        QVERIFY(raw.exec("DROP INDEX \"NAMEIndex\""));
        QVERIFY(raw.exec("DROP TABLE Msgtype"));
    }
    QCOMPARE(home.run({"init"}).exitCode, 0);
    Raw raw(home.defaultDb());
    QCOMPARE(raw.schema(), schema);
    QCOMPARE(raw.column("SELECT Name FROM Staff"), QStringList{"Abbott, Helen"});
}

void TestAdmin::sampleTwiceAddsRowsOnce() {
    Home home;
    Result r = home.run({"init", "--sample"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QMap<QString, int> counts;
    {
        Raw raw(home.defaultDb());
        for (const QString& t : AllTables)
            counts[t] = raw.count(t);
    }
    QVERIFY(counts["Dept"] >= 4 && counts["Dept"] <= 5);
    QVERIFY(counts["Staff"] >= 8 && counts["Staff"] <= 10);
    QVERIFY(counts["Destination"] >= 3);
    QVERIFY(counts["Media"] >= 4);
    QVERIFY(counts["Msgtype"] >= 4);

    r = home.run({"init", "--sample"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(home.defaultDb());
    for (const QString& t : AllTables)
        QCOMPARE(raw.count(t), counts[t]);
}

void TestAdmin::sampleOnlyIntoEmptyTables() {
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    {
        Raw raw(home.defaultDb());
        QVERIFY(raw.exec("INSERT INTO Dept (Department) VALUES ('Front Desk')"));
        QVERIFY(raw.exec("INSERT INTO Staff (Name, Emp_Num) VALUES ('Zeller, Anna', 1001)"));
    }
    const Result r = home.run({"init", "--sample"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(home.defaultDb());
    QCOMPARE(raw.column("SELECT Department FROM Dept"), QStringList{"Front Desk"});
    QCOMPARE(raw.column("SELECT Name FROM Staff"), QStringList{"Zeller, Anna"});
    QVERIFY(raw.count("Media") > 0);
    QVERIFY(raw.count("Msgtype") > 0);
    QVERIFY(raw.count("Destination") > 0);
}

void TestAdmin::sampleRowsAreConsistent() {
    Home home;
    QCOMPARE(home.run({"init", "--sample"}).exitCode, 0);
    Raw raw(home.defaultDb());

    const QStringList media = raw.column("SELECT Media_Type FROM Media");
    for (const char* m : {"Phone", "Fax", "E-Mail", "Walk-in"})
        QVERIFY2(media.contains(m), m);
    const QStringList types = raw.column("SELECT \"Message Type\" FROM Msgtype");
    for (const char* t : {"Please Call", "Will Call Again", "Returned Your Call", "Urgent"})
        QVERIFY2(types.contains(t), t);

    // Names "Last, First", each with a department of the list and a status of the two.
    const QStringList depts = raw.column("SELECT Department FROM Dept");
    const QStringList places = raw.column("SELECT Destination FROM Destination");
    int in = 0, out = 0;
    const QRegularExpression name("^[A-Z][a-z]+, [A-Z][a-z]+$");
    const QRegularExpression date("^\\d{1,2}/\\d{1,2}/\\d\\d$");
    for (const QVariantList& row :
         raw.rows("SELECT Name, Department, Status, Destination, Date_Left, Return_Date, "
                  "Time_Left, Contact_Phone, EMail, Emp_Num FROM Staff")) {
        const QString who = row[0].toString();
        QVERIFY2(name.match(who).hasMatch(), qPrintable(who));
        QVERIFY2(depts.contains(row[1].toString()), qPrintable(who));
        QVERIFY2(!row[9].isNull(), qPrintable(who));
        if (row[2].toString() == "IN") {
            ++in;
            QCOMPARE(row[3].toString(), QString("IN Office"));
            QVERIFY(row[4].isNull() && row[5].isNull() && row[7].isNull());
        } else {
            QCOMPARE(row[2].toString(), QString("Out"));
            ++out;
            QVERIFY2(places.contains(row[3].toString()), qPrintable(who));
            QVERIFY2(date.match(row[4].toString()).hasMatch(), qPrintable(row[4].toString()));
            QVERIFY2(date.match(row[5].toString()).hasMatch(), qPrintable(row[5].toString()));
            QVERIFY(!row[6].toString().isEmpty());
            QCOMPARE(row[7].toString().size(), 13);
        }
    }
    QVERIFY(in >= 2);
    QVERIFY(out >= 2);
    // Destinations have company, address and coordinates.
    QVERIFY(raw.scalar("SELECT COUNT(*) FROM Destination WHERE Company IS NOT NULL AND Address IS NOT NULL "
                       "AND Longitude IS NOT NULL AND Latitude IS NOT NULL")
                .toInt() >= 3);
}

void TestAdmin::psqlSettingsRefused_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database") << "host=127.0.0.1,user=desk"
                                 << "PostgreSQL settings missing: database";
    QTest::newRow("no host, no user") << "database=corvane"
                                      << "PostgreSQL settings missing: host, user";
    QTest::newRow("unknown setting") << "host=h,database=d,user=u,sslmode=require"
                                     << "Unknown PostgreSQL setting: sslmode";
    QTest::newRow("port not a number") << "host=h,port=fifty,database=d,user=u"
                                       << "Not a port number: fifty";
    QTest::newRow("setting without value") << "host=h,database=,user=u"
                                           << "PostgreSQL setting without a value: database=";
}

void TestAdmin::psqlSettingsRefused() {
    QFETCH(QString, settings);
    QFETCH(QString, message);
    Home home;
    const Result r = home.run({"init", "--psql", settings});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(home.aliasFile()));
}

void TestAdmin::psqlUnreachableServerKeepsTheAlias() {
    Home home;
    QCOMPARE(home.run({"init"}).exitCode, 0);
    // nothing listens on port 1 of the loopback address
    const Result r =
        home.run({"init", "--psql", "host=127.0.0.1,port=1,database=corvane,user=desk", "--replace"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Cannot open the database of alias Corvane2003"), qPrintable(r.err));
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    QCOMPARE(ini.value("Corvane2003/Driver").toString(), QString("SQLITE"));
    QVERIFY(!ini.contains("Corvane2003/Host"));
    QCOMPARE(QFileInfo(ini.value("Corvane2003/Path").toString()).canonicalFilePath(),
             QFileInfo(home.defaultDb()).canonicalFilePath());
}

void TestAdmin::psqlInitRegistersAliasAndTables() {
    REQUIRE_POSTGRES(pg);
    Home home;
    const Result r = home.run({"init", "--psql", pg.settings()});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.out.contains("PostgreSQL") && r.out.contains(pg.name()), qPrintable(r.out));
    QVERIFY(!QFile::exists(home.defaultDb())); // no SQLite file on the way
    QSettings ini(home.aliasFile(), QSettings::IniFormat);
    ini.beginGroup("Corvane2003");
    QCOMPARE(ini.value("Driver").toString(), QString("PSQL"));
    QCOMPARE(ini.value("Host").toString(), pg.server().value("host").toString());
    QCOMPARE(ini.value("Database").toString(), pg.name());
    QCOMPARE(ini.value("User").toString(), pg.server().value("user").toString());
    QCOMPARE(ini.value("Port").toString(), pg.server().value("port", "").toString());
    QVERIFY(!ini.contains("Path"));
    Raw raw(pg.server(), pg.name());
    QVERIFY2(raw.ok(), qPrintable(raw.lastError));
    QCOMPARE(pgUserTables(raw), AllTables);
    for (const QString& t : AllTables)
        QCOMPARE(raw.count(t), 0);
}

void TestAdmin::psqlColumns() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    REQUIRE_POSTGRES(pg);
    Home home;
    const Result r = home.run({"init", "--psql", pg.settings()});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(pg.server(), pg.name());
    const auto info =
        raw.rows("SELECT column_name, data_type, character_maximum_length, is_nullable, "
                 "COALESCE(collation_name, ''), COALESCE(column_default, '') "
                 "FROM information_schema.columns WHERE table_name = ? ORDER BY ordinal_position",
                 {table});
    QCOMPARE(info.size(), columns.size());
    const QString pk =
        raw.scalar("SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid "
                   "AND a.attnum = ANY(i.indkey) WHERE i.indrelid = ('\"' || ? || '\"')::regclass "
                   "AND i.indisprimary",
                   {table})
            .toString();
    for (int i = 0; i < columns.size(); ++i) {
        const QStringList want = columns[i].split(':');
        const QString name = info[i][0].toString();
        const QString type = info[i][1].toString();
        const QString collation = info[i][4].toString();
        QCOMPARE(name, want[0]);
        const QString kind = want[1];
        QCOMPARE(name == pk, kind == "key");
        if (kind == "key") {
            QCOMPARE(type, QString("integer"));
            QVERIFY2(info[i][5].toString().startsWith("nextval("),
                     qPrintable(name)); // numbered by the server
        } else if (kind == "text") {
            QCOMPARE(type, QString("character varying"));
            QCOMPARE(info[i][2].toInt(), want[2].toInt());
            QCOMPARE(collation, QString("C")); // binary compares and order
        } else if (kind == "float") {
            QCOMPARE(type, QString("double precision"));
        } else if (kind == "memo") {
            QCOMPARE(type, QString("text"));
            QCOMPARE(collation, QString("C"));
        } else if (kind == "datetime") {
            QVERIFY2(type.startsWith("timestamp"), qPrintable(name + ": " + type));
        }
        if (kind != "key")
            QCOMPARE(info[i][3].toString(), QString("YES")); // no field is required by the table
    }
}

void TestAdmin::psqlIndexes() {
    QFETCH(QString, table);
    QFETCH(QStringList, indexes);
    REQUIRE_POSTGRES(pg);
    Home home;
    const Result r = home.run({"init", "--psql", pg.settings()});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(pg.server(), pg.name());
    QStringList found;
    for (const QVariantList& ix :
         raw.rows("SELECT c.relname, i.indisunique, i.indexrelid FROM pg_index i "
                  "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_class t ON t.oid = i.indrelid "
                  "WHERE t.relname = ? AND NOT i.indisprimary ORDER BY c.relname COLLATE \"C\"",
                  {table})) {
        const QStringList fields =
            raw.column("SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid "
                       "AND a.attnum = ANY(i.indkey) WHERE i.indexrelid = ? "
                       "ORDER BY array_position(i.indkey::int2[], a.attnum)",
                       {ix[2]});
        found << ix[0].toString() + ":" + (ix[1].toBool() ? "unique" : "dup") + ":" + fields.join(',');
    }
    QCOMPARE(found, indexes);
}

void TestAdmin::psqlTextIsCaseSensitiveAndNullsDoNotClash() {
    REQUIRE_POSTGRES(pg);
    Home home;
    QCOMPARE(home.run({"init", "--psql", pg.settings()}).exitCode, 0);
    Raw raw(pg.server(), pg.name());
    // plain SQL of another desk, with no collation of its own: the columns' binary order
    for (const char* name : {"smith, ann", "Smith, Ann", "SMITH, ANN", "Smythe, Bo"})
        QVERIFY2(raw.exec("INSERT INTO \"Staff\" (\"Name\", \"Status\") VALUES (?, 'IN')", {name}),
                 qPrintable(raw.lastError));
    QCOMPARE(raw.column("SELECT \"Name\" FROM \"Staff\" ORDER BY \"Name\""),
             (QStringList{"SMITH, ANN", "Smith, Ann", "Smythe, Bo", "smith, ann"}));
    QCOMPARE(raw.scalar("SELECT COUNT(*) FROM \"Staff\" WHERE \"Name\" = 'Smith, Ann'").toInt(), 1);
    QVERIFY(raw.exec("INSERT INTO \"Staff\" (\"Name\", \"Status\") VALUES ('x', 'in')"));
    QCOMPARE(raw.scalar("SELECT COUNT(*) FROM \"Staff\" WHERE \"Status\" = 'IN'").toInt(), 4);
    // capitals before small letters: all but "SMITH, ANN" lie after "Smith"
    QCOMPARE(raw.scalar("SELECT COUNT(*) FROM \"Staff\" WHERE \"Name\" > 'Smith'").toInt(), 4);
    // the unique indexes: a duplicate is refused, any number of employees without a value
    QVERIFY(!raw.exec("INSERT INTO \"Staff\" (\"Name\") VALUES (?)", {"Smith, Ann"}));
    for (const char* column : {"Password", "EMail", "Emp_Num"}) {
        QVERIFY2(raw.exec(QString("UPDATE \"Staff\" SET \"%1\" = NULL").arg(column)),
                 qPrintable(raw.lastError));
    }
    QCOMPARE(
        raw.scalar("SELECT COUNT(*) FROM \"Staff\" WHERE \"Password\" IS NULL AND \"EMail\" IS NULL").toInt(),
        5);
    QVERIFY(raw.exec("INSERT INTO \"Staff\" (\"Password\") VALUES (?)", {"secret"}));
    QVERIFY(!raw.exec("INSERT INTO \"Staff\" (\"Password\") VALUES (?)", {"secret"}));
    QVERIFY(raw.exec("INSERT INTO \"Staff\" (\"Password\") VALUES (?)", {"SECRET"}));
}

void TestAdmin::psqlInitAgainKeepsDataAndRestores() {
    REQUIRE_POSTGRES(pg);
    Home home;
    QCOMPARE(home.run({"init", "--psql", pg.settings()}).exitCode, 0);
    {
        Raw raw(pg.server(), pg.name());
        QVERIFY(raw.exec("INSERT INTO \"Staff\" (\"Name\", \"Status\") VALUES ('Zeller, Anna', 'IN')"));
        QVERIFY(raw.exec("INSERT INTO \"Dept\" (\"Department\") VALUES ('Front Desk')"));
        QVERIFY(raw.exec("DROP INDEX \"NAMEIndex\""));
        QVERIFY(raw.exec("DROP TABLE \"Msgtype\""));
    }
    Result r = home.run({"init", "--psql", pg.settings(), "--sample"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QMap<QString, int> counts;
    {
        Raw raw(pg.server(), pg.name());
        QCOMPARE(pgUserTables(raw), AllTables);
        QCOMPARE(raw.scalar("SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'NAMEIndex'").toInt(), 1);
        // the tables that held rows keep them and get no sample rows; the others do
        QCOMPARE(raw.column("SELECT \"Department\" FROM \"Dept\""), QStringList{"Front Desk"});
        QCOMPARE(raw.column("SELECT \"Name\" FROM \"Staff\""), QStringList{"Zeller, Anna"});
        QVERIFY(raw.count("Msgtype") >= 4);
        QVERIFY(raw.count("Media") >= 4);
        for (const QString& t : AllTables)
            counts[t] = raw.count(t);
    }
    r = home.run({"init", "--psql", pg.settings(), "--sample"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    Raw raw(pg.server(), pg.name());
    for (const QString& t : AllTables)
        QCOMPARE(raw.count(t), counts[t]);
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
