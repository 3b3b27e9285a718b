// The program over many rows: start-up, the name pickers and the department board read a
// bounded number of rows at any number of employees, a query read to its end holds a bounded
// window of rows, and a desk at rest holds no statement open: SQLite's write-ahead log is
// checkpointed while another desk posts, and a PostgreSQL server sees at most two
// connections of the desk and scans no table of the register whole.
#include "apptest.h"
#include "controls/db/dblookup.h"
#include "controls/form.h"
#include "data/database.h"
#include "data/query.h"
#include "data/table.h"
#include "enginecounter.h"
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

constexpr const char* alias = "Corvane2003";

QString nameOf(int i) { return QString("Employee %1, Pat").arg(i, 7, 10, QChar('0')); }

// Employees in departments "Dept 0".."Dept 9", every tenth one out.
void addEmployees(testsupport::TestDatabase& db, int count) {
    QSqlDatabase raw = db.raw();
    QVERIFY(raw.transaction());
    QSqlQuery q(raw);
    QVERIFY(q.prepare("INSERT INTO \"Staff\" (\"Name\", \"Department\", \"Status\", \"Destination\") "
                      "VALUES (?, ?, ?, ?)"));
    for (int i = 1; i <= count; ++i) {
        q.addBindValue(nameOf(i));
        q.addBindValue(QString("Dept %1").arg(i % 10));
        q.addBindValue(i % 10 == 0 ? "Out" : "IN");
        q.addBindValue(i % 10 == 0 ? "Airport" : "IN Office");
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QVERIFY(raw.commit());
}

void addHistory(testsupport::TestDatabase& db, int count, const QString& name = "Abbott, Helen") {
    QSqlDatabase raw = db.raw();
    QVERIFY(raw.transaction());
    QSqlQuery q(raw);
    QVERIFY(q.prepare("INSERT INTO \"Staff_Log\" (\"Transaction_Date\", \"Transaction_Time\", \"Name\", "
                      "\"Department\", \"Status\") VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < count; ++i) {
        q.addBindValue(QString("2026-%1").arg(i, 7, 10, QChar('0')));
        q.addBindValue("9:00:00 AM");
        q.addBindValue(name);
        q.addBindValue("Sales");
        q.addBindValue(i % 2 ? "IN" : "Out");
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QVERIFY(raw.commit());
}

const QStringList historySql{
    "SELECT Transaction_Id, Transaction_Date, Transaction_Time, Name, Department, Destination, [Date Left], "
    "Time_Left, Return_Date, Return_Time, Status, Contact_Phone",
    "FROM Staff_Log Staff_log", "ORDER BY Name, Transaction_Date, Transaction_Time"};

data::DataSet& dataSetOf(const QString& window, const QString& name) {
    return apptest::instance(window)->dataSet(name);
}

} // namespace

class TestScale : public QObject {
    Q_OBJECT

    std::unique_ptr<apptest::Session> session;

private slots:
    void cleanup() { session.reset(); }

    // What start-up and a department selection read does not grow with the register.
    void startupAndDepartmentFilterReadBoundedRows_data() {
        QTest::addColumn<int>("employees");
        QTest::newRow("10,000 employees") << 10000;
        QTest::newRow("100,000 employees") << 100000;
    }
    void startupAndDepartmentFilterReadBoundedRows() {
        if (testsupport::TestDatabase::onPostgres())
            QSKIP("rows are counted through SQLite's trace interface");
        QFETCH(int, employees);
        session = std::make_unique<apptest::Session>();
        addEmployees(session->db(), employees);
        addHistory(session->db(), 2000);
        session->db().addDept("Dept 3");
        session->db().addDept("Nobody's");
        scaletest::EngineCounter counter;
        session->createWindows();
        qInfo("start-up: %lld rows, %lld full-scan steps", counter.rows(), counter.fullScanSteps());
        QVERIFY2(counter.rows() > 0, "the counter saw nothing");
        QVERIFY2(counter.rows() < 5000, qPrintable(QString::number(counter.rows())));
        // (the few thousand rows of the history are scanned for a window over it; the register is not)
        QVERIFY2(counter.fullScanSteps() < 5000, qPrintable(QString::number(counter.fullScanSteps())));
        // the report queries opened and show their first rows
        QCOMPARE(dataSetOf("MainForm", "Query3").FieldByName("Department")->AsString(),
                 session->db()
                     .scalar("SELECT Department FROM Staff ORDER BY Department, Name LIMIT 1")
                     .toString());
        QCOMPARE(dataSetOf("MainForm", "Query5").FieldByName("Status")->AsString(), QString("Out"));

        // the department board's selection, on a department with employees and on one without
        auto& board = static_cast<data::Table&>(dataSetOf("LocatorForm2", "Table1"));
        for (const QString& dept : {QString("Dept 3"), QString("Nobody's")}) {
            counter.reset();
            board.SetFiltered(true);
            board.SetFilter("Department ='" + QString(dept).replace("'", "''") + "'");
            board.SetActive(true);
            qInfo("%s: %lld rows, %lld full-scan steps", qPrintable(dept), counter.rows(),
                  counter.fullScanSteps());
            QVERIFY2(counter.rows() <= 100, qPrintable(QString::number(counter.rows())));
            QVERIFY2(counter.fullScanSteps() < 100, qPrintable(QString::number(counter.fullScanSteps())));
            QCOMPARE(board.IsEmpty(), dept == "Nobody's");
            if (!board.IsEmpty()) QCOMPARE(board.FieldByName("Name")->AsString(), nameOf(3));
        }
    }

    // The name pickers find a typed name and the last name by seeking, over a table (the
    // check-in window) and over a query of the names (check-out window, message reader).
    void pickerSearchAndEndReadBoundedRows_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("list");      // the picker's list dataset, moved to the choice
        QTest::addColumn<bool>("staffFollows"); // the window's table moves to the choice too
        QTest::addColumn<int>("employees");
        for (int n : {10000, 100000}) {
            QTest::newRow(qPrintable(QString("check-in window, %1 employees").arg(n)))
                << "Form12"
                << "StaffTable" << false << n;
            QTest::newRow(qPrintable(QString("check-out window, %1 employees").arg(n)))
                << "CheckInForm"
                << "Query1" << true << n;
            QTest::newRow(qPrintable(QString("message reader, %1 employees").arg(n)))
                << "MsgForm"
                << "Query1" << false << n;
        }
    }
    void pickerSearchAndEndReadBoundedRows() {
        if (testsupport::TestDatabase::onPostgres())
            QSKIP("rows are counted through SQLite's trace interface");
        QFETCH(QString, window);
        QFETCH(QString, list);
        QFETCH(bool, staffFollows);
        QFETCH(int, employees);
        session = std::make_unique<apptest::Session>();
        addEmployees(session->db(), employees);
        scaletest::EngineCounter counter;
        session->createWindows();
        auto* picker = apptest::instance(window)->findChild<controls::DBLookupComboBox*>("DBLookupComboBox1");
        QVERIFY(picker);
        data::DataSet& listed = dataSetOf(window, list);
        auto chosen = [&](const QString& name) {
            QCOMPARE(picker->text(), name);
            QCOMPARE(listed.FieldByName("Name")->AsString(), name);
            if (staffFollows) QCOMPARE(dataSetOf(window, "StaffTable").FieldByName("Name")->AsString(), name);
        };

        counter.reset();
        QTest::keyClicks(picker, "employee 0005");
        qInfo("typing: %lld rows", counter.rows());
        chosen(nameOf(5000));
        QVERIFY2(counter.rows() <= 2000, qPrintable(QString::number(counter.rows())));
        QVERIFY2(counter.fullScanSteps() < 1000, qPrintable(QString::number(counter.fullScanSteps())));

        counter.reset();
        QTest::keyClick(picker, Qt::Key_End);
        qInfo("End: %lld rows", counter.rows());
        const QString last = session->db().scalar("SELECT MAX(Name) FROM Staff").toString();
        chosen(last);
        QVERIFY2(counter.rows() <= 200, qPrintable(QString::number(counter.rows())));
        QVERIFY2(counter.fullScanSteps() < 1000, qPrintable(QString::number(counter.fullScanSteps())));
        // and on from there: up, the list opened on the choice, and back to the first name
        QTest::keyClick(picker, Qt::Key_Up);
        const QString beforeLast =
            session->db().scalar("SELECT MAX(Name) FROM Staff WHERE Name < ?", {last}).toString();
        chosen(beforeLast);
        picker->showPopup();
        QCOMPARE(picker->currentText(), beforeLast);
        picker->hidePopup();
        chosen(beforeLast);
        QTest::keyClick(picker, Qt::Key_Home);
        chosen(session->db().scalar("SELECT MIN(Name) FROM Staff").toString());
        QVERIFY2(counter.rows() <= 400, qPrintable(QString::number(counter.rows())));
        // prefixes in another letter case and one that no name has
        QTest::qWait(0);
        testsupport::setFixedNow(testsupport::fixedNow().addSecs(10)); // a new search
        QTest::keyClicks(picker, "EMPLOYEE 00000");
        chosen(nameOf(1));
        testsupport::setFixedNow(testsupport::fixedNow().addSecs(10));
        QTest::keyClicks(picker, "EMPLOYEE 00099");
        chosen(nameOf(9900));
        testsupport::setFixedNow(testsupport::fixedNow().addSecs(10));
        QTest::keyClicks(picker, "q");
        chosen(nameOf(9900)); // nothing begins with it: the choice stays
    }

    // Read from the first row to the last, a long result keeps only a window of its rows,
    // in its order, with every row once.
    void queryReadToItsEndHoldsBoundedRows() {
        session = std::make_unique<apptest::Session>(false);
        constexpr int rows = 20000;
        addHistory(session->db(), rows / 2, "Baker, Ann");
        addHistory(session->db(), rows / 2, "Abbott, Helen");
        data::Query q("Query1");
        q.SetDatabaseName(alias);
        q.SetSQL(historySql);
        q.Open();
        int n = 0, most = 0;
        QString last;
        for (; !q.Eof(); q.Next()) {
            const QString key =
                q.FieldByName("Name")->AsString() + q.FieldByName("Transaction_Date")->AsString();
            QVERIFY2(key > last, qPrintable(key + " after " + last));
            last = key;
            ++n;
            most = std::max(most, q.BufferedRows());
        }
        QCOMPARE(n, rows);
        QVERIFY2(most <= 4096, qPrintable(QString::number(most)));
        QCOMPARE(q.RecordCount(), rows);
        // back from the end, and pages as a report reads them
        q.Last();
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("Baker, Ann"));
        q.Prior();
        QCOMPARE(q.FieldByName("Transaction_Date")->AsString(), QString("2026-0009998"));
        int paged = 0;
        data::RowKey after;
        for (;;) {
            const QVector<data::Row> page = q.FetchRows(after, true, 500, false);
            if (page.isEmpty()) break;
            paged += int(page.size());
            after = page.last().key;
            most = std::max(most, q.BufferedRows());
        }
        QCOMPARE(paged, rows);
        QVERIFY2(most <= 4096, qPrintable(QString::number(most)));
        q.First();
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("Abbott, Helen"));
    }

    // With the program's windows open and a query read part-way, the desk at rest holds no
    // statement: another desk's posts are checkpointed and the log stays small.
    void idleDeskLetsTheLogBeCheckpointed() {
        if (testsupport::TestDatabase::onPostgres()) QSKIP("SQLite's write-ahead log");
        session = std::make_unique<apptest::Session>();
        addEmployees(session->db(), 1000);
        addHistory(session->db(), 1000);
        session->createWindows();
        data::DataSet& history = dataSetOf("MainForm", "Query1");
        QCOMPARE(history.FetchRows({}, true, 600, false).size(), 600); // past the rows read at start-up
        data::Database& db = data::Database::forAlias(alias);
        QCOMPARE(db.snapshotsInUse(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(db.snapshotsInUse(), 0, 5000);
        QVERIFY(db.openConnections() <= 2);

        // another desk posts, one transaction each
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-desk");
        other.setDatabaseName(session->db().file());
        QVERIFY(other.open());
        {
            QSqlQuery q(other);
            QVERIFY(q.exec("PRAGMA synchronous=OFF"));
            QVERIFY(q.prepare("INSERT INTO \"Staff_Log\" (\"Transaction_Date\", \"Name\", \"Destination\") "
                              "VALUES (?, ?, ?)"));
            for (int i = 0; i < 3000; ++i) {
                q.addBindValue(QString::number(i));
                q.addBindValue(nameOf(i % 1000 + 1));
                q.addBindValue("Airport");
                QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            }
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other-desk");
        const qint64 wal = QFileInfo(session->db().file() + "-wal").size();
        qInfo("write-ahead log after 3,000 posts at another desk: %lld bytes", wal);
        QVERIFY2(wal < 8 * 1024 * 1024, qPrintable(QString::number(wal)));
        // the windows still show the rows as they were read
        QCOMPARE(history.FetchRows({}, true, 600, false).size(), 600);
    }

    // On the tests' PostgreSQL server too the register is never read whole: start-up, the
    // pickers' searches and End and the department board's selection go through indexes
    // (an index in another collation or NULL order than the statements' serves none of them).
    void serverReadsTheRegisterByIndex() {
        if (!testsupport::TestDatabase::onPostgres()) QSKIP("the server's own table statistics");
        constexpr int employees = 20000;
        session = std::make_unique<apptest::Session>();
        session->db().native(
            QString("INSERT INTO \"Staff\" (\"Name\", \"Department\", \"Status\", \"Destination\") "
                    "SELECT 'Employee ' || lpad(i::text, 7, '0') || ', Pat', 'Dept ' || (i %% 10), "
                    "CASE WHEN i %% 10 = 0 THEN 'Out' ELSE 'IN' END, "
                    "CASE WHEN i %% 10 = 0 THEN 'Airport' ELSE 'IN Office' END "
                    "FROM generate_series(1, %1) AS i")
                .arg(employees)
                .replace("%%", "%"));
        session->db().native("ANALYZE \"Staff\""); // as the server's autovacuum does after such a load
        session->db().addDept("Dept 3");
        session->db().addDept("Nobody's");
        // what the server has read of Staff by scanning it whole, once the desk's connections
        // have reported their counts (those closed did so as they ended)
        auto scanned = [&] {
            if (data::Database* desk = data::Database::existing(alias)) {
                QSqlQuery(desk->connection()).exec("SELECT pg_stat_force_next_flush()");
                QSqlDatabase spare = desk->snapshotConnection();
                QSqlQuery(spare).exec("SELECT pg_stat_force_next_flush()");
                const QString name = spare.connectionName();
                spare = QSqlDatabase();
                desk->releaseSnapshot(name);
            }
            session->db().native("SELECT pg_stat_force_next_flush()"); // and the test's own
            QTest::qWait(500);
            session->db().native("SELECT pg_stat_clear_snapshot()");
            return session->db()
                .scalar("SELECT seq_tup_read FROM pg_stat_user_tables WHERE relname = 'Staff'")
                .toLongLong();
        };
        const QString last = session->db().scalar("SELECT MAX(Name) FROM Staff").toString();
        const QString beforeLast =
            session->db().scalar("SELECT MAX(Name) FROM Staff WHERE Name < ?", {last}).toString();
        const qint64 before = scanned();
        session->createWindows();
        for (const char* window : {"CheckInForm", "MsgForm", "Form12"}) {
            auto* picker =
                apptest::instance(window)->findChild<controls::DBLookupComboBox*>("DBLookupComboBox1");
            QVERIFY(picker);
            testsupport::setFixedNow(testsupport::fixedNow().addSecs(10));
            QTest::keyClicks(picker, "employee 0005");
            QCOMPARE(picker->text(), nameOf(5000));
            QTest::keyClick(picker, Qt::Key_End);
            QCOMPARE(picker->text(), last);
            QTest::keyClick(picker, Qt::Key_Up);
            QCOMPARE(picker->text(), beforeLast);
        }
        auto& board = static_cast<data::Table&>(dataSetOf("LocatorForm2", "Table1"));
        for (const QString& dept : {QString("Dept 3"), QString("Nobody's")}) {
            board.SetFiltered(true);
            board.SetFilter("Department ='" + QString(dept).replace("'", "''") + "'");
            board.SetActive(true);
            QCOMPARE(board.IsEmpty(), dept == "Nobody's");
        }
        const qint64 read = scanned() - before;
        qInfo("rows of Staff read by whole-table scans: %lld", read);
        QVERIFY2(read < employees, qPrintable(QString::number(read)));
    }

    // On the tests' PostgreSQL server a desk at rest keeps at most two connections, also
    // after a query was read part-way.
    void connectionsPerDeskAtRest() {
        if (!testsupport::TestDatabase::onPostgres()) QSKIP("server connections: PostgreSQL only");
        session = std::make_unique<apptest::Session>();
        addHistory(session->db(), 1000);
        session->createWindows();
        data::DataSet& history = dataSetOf("MainForm", "Query1");
        QCOMPARE(history.FetchRows({}, true, 600, false).size(), 600);
        data::Database& db = data::Database::forAlias(alias);
        QTRY_COMPARE_WITH_TIMEOUT(db.snapshotsInUse(), 0, 5000);
        const int desk =
            session->db()
                .scalar("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
                        "AND pid <> pg_backend_pid()")
                .toInt();
        qInfo("server connections of the desk at rest: %d", desk);
        QVERIFY2(desk >= 1 && desk <= 2, qPrintable(QString::number(desk)));
        QCOMPARE(db.openConnections(), desk);
    }
};

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
