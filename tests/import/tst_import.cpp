// Importing employees: the question, the move from a source named by an alias or an ODBC
// data source name and a table name, updates by record number, rows skipped for a clash or
// a bad value and counted in the summary box, texts cut to Staff's widths, the engine's
// error for an unknown source, and Cancel rolling the whole move back. Real sources: an
// SQLite alias, ODBC over an SQLite file, and ODBC over the tests' PostgreSQL server (when
// the suite runs there), registered in an odbc.ini of the test's own.
#include "controls/db/dbcontrols.h"
#include "data/database.h"
#include "data/table.h"
#include "records/importform.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>
#include <memory>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {

const char* const sourceColumns =
    "Employee_No INTEGER PRIMARY KEY, Name VARCHAR(50), Emp_Num VARCHAR(50), Password VARCHAR(8), "
    "Email VARCHAR(50), Social_Security VARCHAR(12), Address1 VARCHAR(50), Address2 VARCHAR(50), "
    "City VARCHAR(50), State VARCHAR(2), ZipCode VARCHAR(12), Phone VARCHAR(50), Department VARCHAR(50)";

QVariantList person(int no, const QString& name, const QString& empNum, const QString& dept = "Sales") {
    return {no,
            name,
            empNum,
            QString("pw%1").arg(no),
            QString("e%1@example.com").arg(no),
            "123-45-6789",
            QString("%1 Main Street").arg(no),
            "Suite 4",
            "Springfield",
            "IL",
            "62701",
            "(217)555-0100",
            dept};
}

// A source database: an SQLite file, or a database on the tests' PostgreSQL server.
class Source {
public:
    virtual ~Source() = default;
    virtual void exec(const QString& sql, const QVariantList& binds = {}) = 0;
    // The name the user types into "Source Database Name".
    virtual QString databaseName() const = 0;

    // The table's name in SQL: as the user types it.
    virtual QString ref(const QString& table) const { return table; }
    void create(const QString& table, const QString& columns) {
        exec(QString("CREATE TABLE %1 (%2)").arg(ref(table), columns));
    }
    void insert(const QString& table, const QVariantList& values) {
        QStringList marks;
        for (int i = 0; i < values.size(); ++i)
            marks << "?";
        exec(QString("INSERT INTO %1 VALUES (%2)").arg(ref(table), marks.join(", ")), values);
    }
};

// A source reached through a connection of the test's own: an SQLite file, or a database on
// the tests' PostgreSQL server.
class SqlSource : public Source {
public:
    SqlSource(QSqlDatabase c, QString name, bool quoteNames)
        : name_(std::move(name)), conn_(c.connectionName()), quote_(quoteNames) {
        if (!c.open()) qFatal("cannot open the source: %s", qPrintable(c.lastError().text()));
    }
    ~SqlSource() override {
        QSqlDatabase::database(conn_, false).close();
        QSqlDatabase::removeDatabase(conn_);
    }
    void exec(const QString& sql, const QVariantList& binds) override {
        QSqlQuery q(QSqlDatabase::database(conn_, false));
        bool ok = false;
        if (binds.isEmpty()) {
            ok = q.exec(sql); // statements that PostgreSQL does not prepare (DDL)
        } else {
            q.prepare(sql);
            for (const auto& b : binds)
                q.addBindValue(b);
            ok = q.exec();
        }
        if (!ok) throw std::runtime_error(q.lastError().text().toStdString());
    }
    QString databaseName() const override { return name_; }
    QString ref(const QString& table) const override { return quote_ ? '"' + table + '"' : table; }

private:
    QString name_, conn_;
    bool quote_;
};

} // namespace

class TestImport : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> ui;
    std::unique_ptr<TImportForm> form;
    QString odbcDir;
    QByteArray oldSysIni, oldIni;

    // The ODBC configuration of the test: drivers and data sources in files of its own, one
    // set for the whole run (the driver manager reads them once), with sources at fixed places
    // that every test makes afresh.
    QString odbcSourceFile() const { return odbcDir + "/odbc-source.db"; }
    QString pgSourceDatabase;

    void writeOdbcConfig() {
        odbcDir =
            QDir::tempPath() + QString("/quorvale-import-odbc-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(odbcDir);
        QFile inst(odbcDir + "/odbcinst.ini");
        inst.open(QIODevice::WriteOnly);
        inst.write("[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n\n"
                   "[PostgreSQL Unicode]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so\n");
        inst.close();
        QFile ini(odbcDir + "/odbc.ini");
        ini.open(QIODevice::WriteOnly);
        QByteArray text = "[LegacyOdbc]\nDriver=SQLite3\nDatabase=" + odbcSourceFile().toUtf8() + "\n";
        if (testsupport::TestDatabase::onPostgres()) {
            const QVariantMap pg = testsupport::postgresTestSettings();
            pgSourceDatabase = QString("quorvale_import_source_%1").arg(QCoreApplication::applicationPid());
            {
                QSqlDatabase server =
                    pgConnection("quorvale:import:server", pg.value("dbname", "postgres").toString());
                QSqlQuery q(server);
                q.exec("DROP DATABASE IF EXISTS " + pgSourceDatabase);
                if (!q.exec("CREATE DATABASE " + pgSourceDatabase))
                    qFatal("%s", qPrintable(q.lastError().text()));
            }
            QSqlDatabase::removeDatabase("quorvale:import:server");
            text += "\n[LegacyPg]\nDriver=PostgreSQL Unicode\nServername=" +
                    pg.value("host").toString().toUtf8() +
                    "\nPort=" + pg.value("port", "5432").toString().toUtf8() +
                    "\nDatabase=" + pgSourceDatabase.toUtf8() +
                    "\nUsername=" + pg.value("user").toString().toUtf8() +
                    "\nPassword=" + pg.value("password").toString().toUtf8() + "\nUseDeclareFetch=1\n";
        }
        ini.write(text);
        ini.close();
        oldSysIni = qgetenv("ODBCSYSINI");
        oldIni = qgetenv("ODBCINI");
        qputenv("ODBCSYSINI", odbcDir.toUtf8());
        qputenv("ODBCINI", (odbcDir + "/odbc.ini").toUtf8());
    }
    static QSqlDatabase pgConnection(const QString& name, const QString& database) {
        const QVariantMap pg = testsupport::postgresTestSettings();
        QSqlDatabase c = QSqlDatabase::addDatabase("QPSQL", name);
        c.setHostName(pg.value("host").toString());
        c.setPort(pg.value("port", 5432).toInt());
        c.setUserName(pg.value("user").toString());
        c.setPassword(pg.value("password").toString());
        c.setDatabaseName(database);
        if (!c.open()) qFatal("%s", qPrintable(c.lastError().text()));
        return c;
    }

    std::unique_ptr<Source> makeSource(const QString& kind) {
        if (kind == "sqlite alias") {
            data::AliasConfig a;
            a.name = "Legacy";
            a.path = db->dir() + "/legacy.db";
            a.createDatabaseFile();
            a.save();
            QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "source:Legacy");
            c.setDatabaseName(a.path);
            return std::make_unique<SqlSource>(c, "Legacy", false);
        }
        if (kind == "odbc sqlite") {
            QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "source:LegacyOdbc");
            c.setDatabaseName(odbcSourceFile());
            return std::make_unique<SqlSource>(c, "LegacyOdbc", false);
        }
        QString name = "LegacyPg";
        if (kind == "postgres alias") {
            const QVariantMap pg = testsupport::postgresTestSettings();
            data::AliasConfig a;
            a.name = name = "LegacyPgAlias";
            a.driver = "PSQL";
            a.host = pg.value("host").toString();
            a.port = pg.value("port", 5432).toInt();
            a.user = pg.value("user").toString();
            a.password = pg.value("password").toString();
            a.database = pgSourceDatabase;
            a.save();
        }
        auto s = std::make_unique<SqlSource>(pgConnection("source:" + name, pgSourceDatabase), name, true);
        s->exec("DROP SCHEMA public CASCADE", {});
        s->exec("CREATE SCHEMA public", {});
        return s;
    }

    void addSourceKinds() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("sqlite alias") << "sqlite alias";
        QTest::newRow("odbc sqlite") << "odbc sqlite";
        QTest::newRow("odbc postgres") << "odbc postgres";
        QTest::newRow("postgres alias") << "postgres alias";
    }
    std::unique_ptr<Source> sourceOfRow() {
        QFETCH(QString, kind);
        if (kind.contains("postgres") && pgSourceDatabase.isEmpty()) return nullptr;
        return makeSource(kind);
    }

    void name(const QString& database, const QString& table) {
        form->child<QLineEdit>("Edit1")->setText(database);
        form->child<QLineEdit>("Edit2")->setText(table);
    }
    // Presses "Import", says Yes and expects the summary box with this text.
    void import(const QString& summary) {
        ui->prompter().expect("Import Employee Records from the Source Database?", MsgDlgType::Confirmation,
                              MsgButtons::YesNoCancel, ModalResult::Yes);
        ui->prompter().expect(summary, MsgDlgType::Information, MsgButtons::OK, ModalResult::OK);
        QTest::mouseClick(form->child<QPushButton>("Button1"), Qt::LeftButton);
    }
    // Imports and returns the summary box's text, whatever it is.
    QString importAny() {
        ui->prompter().expect("Import Employee Records from the Source Database?", MsgDlgType::Confirmation,
                              MsgButtons::YesNoCancel, ModalResult::Yes);
        ui->prompter().expectMatching(QRegularExpression("(?s).*"), MsgDlgType::Information, MsgButtons::OK,
                                      ModalResult::OK);
        QTest::mouseClick(form->child<QPushButton>("Button1"), Qt::LeftButton);
        return ui->prompter().asked().value(ui->prompter().asked().size() - 1);
    }
    static QString counts(int added, int updated, int skipped) {
        return QString("Import finished.\n\nEmployees added: %1\nEmployees updated: %2\nRows skipped: %3")
            .arg(added)
            .arg(updated)
            .arg(skipped);
    }
    int staffCount() { return db->scalar("SELECT COUNT(*) FROM Staff").toInt(); }
    QVariantMap staff(const QString& name) {
        return db->rows("SELECT * FROM Staff WHERE Name = ?", {name}).value(0);
    }

    void fillThree(Source& s, const QString& table = "Staff") {
        s.create(table, sourceColumns);
        s.insert(table, person(101, "Dalton, Mary", "5001"));
        s.insert(table, person(102, "Evans, Paul", "5002", "Legal"));
        s.insert(table, person(103, "Fisher, Joan", "5003"));
    }

private slots:
    void initTestCase() { writeOdbcConfig(); }
    void cleanupTestCase() {
        qputenv("ODBCSYSINI", oldSysIni);
        qputenv("ODBCINI", oldIni);
        if (!pgSourceDatabase.isEmpty()) {
            {
                QSqlDatabase server =
                    pgConnection("quorvale:import:server",
                                 testsupport::postgresTestSettings().value("dbname", "postgres").toString());
                QSqlQuery(server).exec("DROP DATABASE IF EXISTS " + pgSourceDatabase + " WITH (FORCE)");
            }
            QSqlDatabase::removeDatabase("quorvale:import:server");
        }
        QDir(odbcDir).removeRecursively();
    }
    void init() {
        QFile::remove(odbcSourceFile());
        db = std::make_unique<testsupport::TestDatabase>();
        db->addStaff("Abbott, Helen", {{"Emp_Num", 1001},
                                       {"Password", "abbott"},
                                       {"EMail", "helen@example.com"},
                                       {"Department", "Sales"}});
        ui = std::make_unique<testsupport::UiTestEnv>();
        form = std::make_unique<TImportForm>();
        form->ShowModal();
    }
    void cleanup() {
        const bool answered = ui->prompter().verifyAllAnswered();
        form.reset();
        ui.reset();
        data::Database::closeAll();
        db.reset();
        TImportForm::setProgressDelay(700);
        QVERIFY(answered);
    }

    void theWindowAsLaidOut() {
        QCOMPARE(form->windowTitle(), QString("Employee Import"));
        QCOMPARE(form->child<QLineEdit>("Edit1")->text(), QString());
        QCOMPARE(form->child<QLineEdit>("Edit2")->text(), QString("Staff"));
        QCOMPARE(form->child<QPushButton>("Button1")->text(), QString("Import"));
        QCOMPARE(form->child<QPushButton>("BitBtn1")->text(), QString("&Main Menu"));
        QVERIFY(!form->table("SourceTable").Active());
        QVERIFY(form->table("Table1").Active());
        QCOMPARE(form->field("Table1Address1").Size(), 50);
    }

    void noOrCancelImportsNothing_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("No") << ModalResult::No;
        QTest::newRow("Cancel") << ModalResult::Cancel;
    }
    void noOrCancelImportsNothing() {
        QFETCH(ModalResult, answer);
        auto s = makeSource("sqlite alias");
        fillThree(*s);
        name("Legacy", "Staff");
        ui->prompter().expect("Import Employee Records from the Source Database?", MsgDlgType::Confirmation,
                              MsgButtons::YesNoCancel, answer);
        QTest::mouseClick(form->child<QPushButton>("Button1"), Qt::LeftButton);
        QCOMPARE(staffCount(), 1);
        QCOMPARE(form->child<QLineEdit>("Edit1")->text(), QString("Legacy"));
        QCOMPARE(form->child<QLineEdit>("Edit2")->text(), QString("Staff"));
    }

    void thirteenColumnsFillTheFirstThirteenFields_data() { addSourceKinds(); }
    void thirteenColumnsFillTheFirstThirteenFields() {
        auto s = sourceOfRow();
        if (!s) QSKIP("needs the tests' PostgreSQL server");
        const QString table = s->databaseName().startsWith("LegacyPg") ? "OldStaff" : "Staff";
        fillThree(*s, table);
        name(s->databaseName(), table);
        import(counts(3, 0, 0));
        QCOMPARE(staffCount(), 4);
        const QVariantMap m = staff("Evans, Paul");
        QCOMPARE(m.value("Employee_No").toInt(), 102);
        QCOMPARE(m.value("Emp_Num").toDouble(), 5002.0);
        QCOMPARE(m.value("Password").toString(), QString("pw102"));
        QCOMPARE(m.value("EMail").toString(), QString("e102@example.com"));
        QCOMPARE(m.value("Social_Security").toString(), QString("123-45-6789"));
        QCOMPARE(m.value("Address1").toString(), QString("102 Main Street"));
        QCOMPARE(m.value("Address2").toString(), QString("Suite 4"));
        QCOMPARE(m.value("City").toString(), QString("Springfield"));
        QCOMPARE(m.value("State").toString(), QString("IL"));
        QCOMPARE(m.value("ZipCode").toString(), QString("62701"));
        QCOMPARE(m.value("Phone").toString(), QString("(217)555-0100"));
        QCOMPARE(m.value("Department").toString(), QString("Legal"));
        // no presence status: on neither the in-office nor the out-of-office board
        for (const char* f : {"Alternate", "Fax", "DOB", "Login_Name", "Comments", "Destination", "Date_Left",
                              "Time_Left", "Return_Date", "Return_Time", "Status", "Contact_Phone"})
            QVERIFY2(m.value(f).isNull(), f);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Staff WHERE Status = 'IN' OR Status = 'Out'").toInt(), 1);
        // the window's table is on its first row, the source closed
        QVERIFY(!form->table("SourceTable").Active());
        QCOMPARE(form->field("Table1Name").AsString(), QString("Abbott, Helen"));
    }

    void aNewEmployeeAfterTheImportGetsAFreshNumber() {
        auto s = makeSource("sqlite alias");
        fillThree(*s);
        name("Legacy", "Staff");
        import(counts(3, 0, 0));
        data::Table t("T");
        t.SetDatabaseName("Corvane2003");
        t.SetTableName("Staff");
        t.Open();
        t.Insert();
        t.FieldByName("Name")->SetAsString("Zeller, Kim");
        t.FieldByName("Emp_Num")->SetAsString("9");
        t.Post();
        QVERIFY(staff("Zeller, Kim").value("Employee_No").toInt() > 103);
    }

    void theSameSourceTwiceUpdatesByRecordNumber() {
        auto s = makeSource("odbc sqlite");
        fillThree(*s);
        name("LegacyOdbc", "Staff");
        import(counts(3, 0, 0));
        s->exec("UPDATE Staff SET Department = 'Accounts' WHERE Employee_No = 103");
        s->insert("Staff", person(104, "Gray, Lee", "5004"));
        import(counts(1, 3, 0));
        QCOMPARE(staffCount(), 5);
        QCOMPARE(staff("Fisher, Joan").value("Department").toString(), QString("Accounts"));
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Staff WHERE Name = 'Fisher, Joan'").toInt(), 1);
    }

    void aClashOnAUniqueIndexSkipsTheRow_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("words");
        QTest::newRow("Name") << 1 << QVariant("Abbott, Helen") << "name";
        QTest::newRow("Emp_Num") << 2 << QVariant("1001") << "employee number";
        QTest::newRow("Password") << 3 << QVariant("abbott") << "password";
        QTest::newRow("EMail") << 4 << QVariant("helen@example.com") << "e-mail address";
    }
    void aClashOnAUniqueIndexSkipsTheRow() {
        QFETCH(int, column);
        QFETCH(QVariant, value);
        QFETCH(QString, words);
        auto s = makeSource("sqlite alias");
        s->create("Staff", sourceColumns);
        s->insert("Staff", person(101, "Dalton, Mary", "5001"));
        QVariantList clash = person(102, "Evans, Paul", "5002");
        clash[column] = value;
        s->insert("Staff", clash);
        s->insert("Staff", person(103, "Fisher, Joan", "5003"));
        name("Legacy", "Staff");
        const QString who = column == 1 ? "Abbott, Helen" : "Evans, Paul";
        import(
            counts(2, 0, 1) +
            QString("\n\nSkipped rows:\nRow 2 (%1): another employee already has this %2.").arg(who, words));
        QCOMPARE(staffCount(), 3);
        QVERIFY(!staff("Dalton, Mary").isEmpty());
        QVERIFY(!staff("Fisher, Joan").isEmpty());
        QCOMPARE(staff("Abbott, Helen").value("Employee_No").toInt(), 1);
    }

    void textsLongerThanTheFieldsAreCut() {
        auto s = makeSource("sqlite alias");
        s->create("Staff", sourceColumns);
        QVariantList p = person(101, "Montgomery-Worthington, Alexandra", "5001");
        p[6] = "1234 Extraordinarily Long Avenue Name Boulevard"; // 47 characters
        p[11] = "(217)555-0100 ext 42";
        s->insert("Staff", p);
        name("Legacy", "Staff");
        import(counts(1, 0, 0));
        const QVariantMap m = staff("Montgomery-Worthington, A");
        QCOMPARE(m.value("Name").toString().size(), 25);
        QCOMPARE(m.value("Address1").toString(), QString("1234 Extraordinarily Long"));
        QCOMPARE(m.value("Phone").toString(), QString("(217)555-0100"));
    }

    void aValueThatCannotBeConvertedSkipsTheRow() {
        auto s = makeSource("sqlite alias");
        fillThree(*s);
        s->exec("UPDATE Staff SET Emp_Num = '50x2' WHERE Employee_No = 102");
        name("Legacy", "Staff");
        import(counts(2, 0, 1) +
               "\n\nSkipped rows:\nRow 2 (Evans, Paul): the employee number \"50x2\" is not a number.");
        QVERIFY(staff("Evans, Paul").isEmpty());
    }

    void aRowTheDatabaseRefusesIsSkippedWithItsReason() {
        auto s = makeSource("sqlite alias");
        fillThree(*s);
        db->refuse("Staff", "INSERT", "no more employees from Legal", "Department", "Legal");
        name("Legacy", "Staff");
        const QString text = importAny();
        QVERIFY2(text.startsWith(counts(2, 0, 1) +
                                 "\n\nSkipped rows:\nRow 2 (Evans, Paul): the database refused it ("),
                 qPrintable(text));
        QVERIFY2(text.contains("no more employees from Legal"), qPrintable(text));
        QCOMPARE(staffCount(), 3);
        QVERIFY(staff("Evans, Paul").isEmpty());
    }

    void twoImportsFromDifferentSourcesInOneRun() {
        auto a = makeSource("sqlite alias");
        fillThree(*a);
        auto b = makeSource("odbc sqlite");
        b->create("People", sourceColumns);
        b->insert("People", person(201, "Hale, Ruth", "6001"));
        name("Legacy", "Staff");
        import(counts(3, 0, 0));
        name("LegacyOdbc", "People");
        import(counts(1, 0, 0));
        QCOMPARE(staffCount(), 5);
        QVERIFY(!staff("Hale, Ruth").isEmpty());
    }

    void anUnknownSourceOrTableImportsNothing_data() {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown source") << "NoSuchPlace"
                                        << "Staff"
                                        << "Cannot open the source database NoSuchPlace: .+";
        QTest::newRow("missing table") << "Legacy"
                                       << "Staffers"
                                       << ".*no such table: Staffers.*";
        QTest::newRow("missing odbc table") << "LegacyOdbc"
                                            << "Staffers"
                                            << ".*no such table: Staffers.*";
    }
    void anUnknownSourceOrTableImportsNothing() {
        QFETCH(QString, database);
        QFETCH(QString, table);
        QFETCH(QString, message);
        auto a = makeSource("sqlite alias");
        fillThree(*a);
        auto b = makeSource("odbc sqlite");
        fillThree(*b);
        name(database, table);
        ui->prompter().expect("Import Employee Records from the Source Database?", ModalResult::Yes);
        ui->prompter().expectMatching(QRegularExpression("(?s)" + message), MsgDlgType::Error, MsgButtons::OK,
                                      ModalResult::OK);
        QTest::mouseClick(form->child<QPushButton>("Button1"), Qt::LeftButton);
        QCOMPARE(staffCount(), 1);
        QVERIFY(!form->table("SourceTable").Active());
        QVERIFY(form->isVisible());
    }

    void fewerColumnsLeaveTheRestAlone() {
        auto s = makeSource("sqlite alias");
        s->create("Staff", "Employee_No INTEGER PRIMARY KEY, Name VARCHAR(50), Emp_Num VARCHAR(50)");
        s->insert("Staff", {1, "Abbott, Helen R.", "1001"});
        s->insert("Staff", {50, "Ives, Carl", "7001"});
        name("Legacy", "Staff");
        import(counts(1, 1, 0));
        const QVariantMap updated = staff("Abbott, Helen R.");
        QCOMPARE(updated.value("EMail").toString(), QString("helen@example.com")); // untouched
        QCOMPARE(updated.value("Status").toString(), QString("IN"));
        const QVariantMap added = staff("Ives, Carl");
        QCOMPARE(added.value("Employee_No").toInt(), 50);
        QVERIFY(added.value("EMail").isNull());
    }

    void moreColumnsThanStaffAreLeftOut() {
        auto s = makeSource("sqlite alias");
        QStringList cols;
        QVariantList values;
        for (int i = 0; i < 30; ++i) {
            cols << QString("c%1 VARCHAR(20)").arg(i);
            values << QString("v%1").arg(i);
        }
        values[0] = 7;
        values[1] = "Jones, Ada";
        values[2] = "8001";
        values[15] = "1970-04-02";
        s->create("Wide", cols.join(", "));
        s->insert("Wide", values);
        name("Legacy", "Wide");
        import(counts(1, 0, 0));
        const QVariantMap m = staff("Jones, Ada");
        QCOMPARE(m.value("Employee_No").toInt(), 7);
        QCOMPARE(m.value("Status").toString(), QString("v23"));
        QCOMPARE(m.value("Contact_Phone").toString(), QString("v24"));
    }

    void theSummaryNamesTheFirstFewSkippedRows() {
        auto s = makeSource("sqlite alias");
        s->create("Staff", sourceColumns);
        for (int i = 1; i <= 8; ++i)
            s->insert("Staff",
                      person(100 + i, QString("Person, No%1").arg(i), "1001")); // all clash but the first
        name("Legacy", "Staff");
        const QString text = importAny();
        QVERIFY2(text.startsWith(counts(0, 0, 8)), qPrintable(text));
        QVERIFY2(text.contains("Row 1 (Person, No1): another employee already has this employee number."),
                 qPrintable(text));
        QVERIFY2(text.contains("Row 5 (Person, No5)"), qPrintable(text));
        QVERIFY2(!text.contains("Row 6"), qPrintable(text));
        QVERIFY2(text.endsWith("... and 3 more."), qPrintable(text));
    }

    void cancelRollsTheWholeMoveBack() {
        auto s = makeSource("sqlite alias");
        fillThree(*s);
        name("Legacy", "Staff");
        TImportForm::setProgressDelay(0);
        form->BatchMove1.SetProgressInterval(2);
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible()) p->cancel();
        });
        import("The import was cancelled. No employee records were imported.");
        form->BatchMove1.SetProgressInterval(500);
        QCOMPARE(staffCount(), 1);
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
