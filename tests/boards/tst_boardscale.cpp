// The boards over 10,000 employees: they open, show and scroll reading a few pages of rows,
// never the whole table, and the engine sorts nothing (a sort would read every row).
#include "boardtest.h"
#include "data/table.h"
#include "locator/employeeoutform.h"
#include "locator/inofficeform.h"
#include "locator/locatorform.h"
#include "locator/locatorform2.h"
#include "locator/updateform.h"
#include "rowcounter.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

using controls::DBGrid;

namespace {
constexpr int employees = 10000;
QString nameOf(int i) { return QString("Employee %1, Pat").arg(i, 5, 10, QChar('0')); }
} // namespace

class TestBoardScale : public QObject {
    Q_OBJECT

    std::unique_ptr<boardtest::Desk> desk;
    std::unique_ptr<boardtest::RowCounter> counter;

    QString report() const {
        return QString("%1 rows in %2 statements, %3 sorts, %4 full-scan steps; sorted: %5")
            .arg(counter->rows())
            .arg(counter->statements())
            .arg(counter->sorts())
            .arg(counter->fullScanSteps())
            .arg(counter->sortedStatements().join(" | "));
    }
    void resetCount() {
        if (counter) counter->reset();
    }
    void skipWithoutCounts() {
        if (!counter)
            QSKIP("rows and sorts are counted through SQLite's trace interface only; the boards "
                  "were driven but what the engine read was not counted");
    }
    // Far fewer rows than the table has, and nothing the engine had to read whole.
    void verifyFewRows(long long limit) {
        if (!counter) return; // no row counts on this engine: see the end of each test
        qInfo("%s", qPrintable(report()));
        QVERIFY2(counter->rows() > 0, "the counter saw nothing");
        QVERIFY2(counter->rows() <= limit, qPrintable(report()));
        QVERIFY2(counter->sorts() == 0, qPrintable(report()));
        QVERIFY2(counter->fullScanSteps() < employees / 2, qPrintable(report()));
    }

private slots:
    void init() {
        desk = std::make_unique<boardtest::Desk>();
        QSqlDatabase raw = desk->db().raw();
        QVERIFY(raw.transaction());
        QSqlQuery q(raw);
        QVERIFY(q.prepare("INSERT INTO \"Staff\" (\"Name\", \"Department\", \"Status\", \"Destination\") "
                          "VALUES (?, ?, ?, ?)"));
        for (int i = 1; i <= employees; ++i) {
            const bool out = i % 10 == 0;
            q.addBindValue(nameOf(i));
            q.addBindValue(i % 7 == 0 ? "Sales" : "Accounts");
            q.addBindValue(out ? "Out" : "IN");
            q.addBindValue(out ? "Airport" : "IN Office");
            QVERIFY(q.exec());
        }
        QVERIFY(raw.commit());
        desk->db().addDept("Accounts");
        desk->db().addDept("Sales");
        // The counts come from SQLite's own trace interface; elsewhere the boards are still
        // driven through every step, only the counts are not taken.
        if (!testsupport::TestDatabase::onPostgres())
            counter = std::make_unique<boardtest::RowCounter>("Corvane2003");
    }
    void cleanup() {
        counter.reset();
        QVERIFY(desk->prompter().verifyAllAnswered());
        desk.reset();
    }

    void boardsOpenAndScrollReadingAFewPages() {
        desk->createWindows();
        verifyFewRows(1000); // five windows opened, a few pages each
        resetCount();

        boardtest::show(LocatorForm);
        DBGrid* g = LocatorForm->child<DBGrid>("DBGrid1");
        const int cap = g->visibleRowCapacity();
        QVERIFY(cap >= 5);
        QCOMPARE(g->shownRowCount(), cap);
        QCOMPARE(boardtest::currentCell(g, "Name"), nameOf(1));
        g->setFocus();
        for (int i = 0; i < 10; ++i)
            boardtest::key(Qt::Key_PageDown);
        QCOMPARE(boardtest::currentCell(g, "Name"), nameOf(1 + 10 * cap));
        boardtest::key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(boardtest::currentCell(g, "Name"), nameOf(employees));
        boardtest::key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(boardtest::currentCell(g, "Name"), nameOf(1));
        LocatorForm->Close();
        verifyFewRows(40 * cap);
        resetCount();

        // A filtered board and its search.
        boardtest::show(EmployeeOutForm);
        DBGrid* out = EmployeeOutForm->child<DBGrid>("DBGrid1");
        QCOMPARE(boardtest::currentCell(out, "Name"), nameOf(10));
        EmployeeOutForm->child<QLineEdit>("Edit1")->setText("Employee 05001");
        boardtest::click(EmployeeOutForm->child<QPushButton>("Button1"));
        QCOMPARE(boardtest::currentCell(out, "Name"), nameOf(5010));
        out->setFocus();
        boardtest::key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(boardtest::currentCell(out, "Name"), nameOf(employees));
        EmployeeOutForm->Close();
        verifyFewRows(20 * cap);
        resetCount();

        // The department board's selection and the screen's search.
        boardtest::show(LocatorForm2);
        LocatorForm2->child<controls::DBLookupComboBox>("DBLookupComboBox1")->setKeyValue("Sales");
        boardtest::click(LocatorForm2->child<QPushButton>("Button1"));
        QCOMPARE(boardtest::currentCell(LocatorForm2->child<DBGrid>("DBGrid1"), "Name"), nameOf(7));
        LocatorForm2->Close();
        boardtest::show(UpdateForm);
        UpdateForm->child<QLineEdit>("Edit1")->setText("Employee 09999");
        boardtest::click(UpdateForm->child<QPushButton>("Button1"));
        QCOMPARE(UpdateForm->child<controls::DBEdit>("EditNAME")->text(), nameOf(9999));
        verifyFewRows(10 * cap);
        skipWithoutCounts();
    }
};

QTEST_MAIN(TestBoardScale)
#include "tst_boardscale.moc"
