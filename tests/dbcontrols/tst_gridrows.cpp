// The grid's row window on its own, over a real table, with Qt's model checker watching every
// change: it follows moves of the cursor, new rows, edits, deletes, refreshes, filters and
// closing, keeps the current row on the cursor and never reads more than a few windows.
#include "controls/db/gridrows.h"
#include "dbfixture.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace dbtest;
using controls::GridColumn;
using controls::GridRows;

namespace {

constexpr int capacity = 5;
constexpr int departments = 30;

QString deptName(int i) { return QString("Dept %1").arg(i, 2, 10, QChar('0')); }

} // namespace

class TestGridRows : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<CountingTable> dept;
    std::unique_ptr<data::DataSource> source;
    std::unique_ptr<GridRows> rows;
    std::unique_ptr<QAbstractItemModelTester> tester;

    QString current() { return dept->FieldByName("Department")->AsString(); }
    QStringList stored() { return storedDepartments(*db); }
    QStringList shown() {
        QStringList out;
        for (int r = 0; r < rows->rowCount(); ++r)
            out << rows->text(r, 0);
        return out;
    }

    // In browse: as many rows as fit, a run of the table's rows in its order, the current
    // one on the cursor.
    void checkWindow() {
        QCOMPARE(dept->State(), data::DataSetState::Browse);
        const QStringList all = stored();
        const QStringList window = shown();
        QCOMPARE(window.size(), std::min<int>(capacity, std::max<int>(1, all.size())));
        if (all.isEmpty()) {
            QCOMPARE(window, QStringList{QString()});
            return;
        }
        const int top = all.indexOf(window.first());
        QVERIFY2(top >= 0, qPrintable(window.join(", ")));
        QCOMPARE(window, all.mid(top, window.size()));
        QVERIFY(rows->currentRow() >= 0);
        QCOMPARE(rows->text(rows->currentRow(), 0), current());
        QCOMPARE(rows->keyOfRow(rows->currentRow()), dept->CurrentKey());
        for (int r = 0; r < rows->rowCount(); ++r)
            QVERIFY(!rows->isNewRow(r));
    }

    void move(const QString& step) {
        const QString op = step.section(':', 0, 0);
        const QString arg = step.section(':', 1);
        if (op == "next")
            dept->Next();
        else if (op == "prior")
            dept->Prior();
        else if (op == "first")
            dept->First();
        else if (op == "last")
            dept->Last();
        else if (op == "by") {
            // As the grid pages: many single moves, read once at the end.
            rows->beginBatch();
            dept->MoveBy(arg.toInt());
            rows->endBatch();
        } else if (op == "locate")
            QVERIFY(dept->Locate("Department", arg));
        else
            QFAIL(qPrintable("unknown step " + step));
    }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        for (int i = 1; i <= departments; ++i)
            db->addDept(deptName(i));
        dept = openTable("Table1", "Dept", "Department", {text("Department", 30)});
        source = std::make_unique<data::DataSource>("DataSource1");
        source->setDataSet(dept.get());
        rows = std::make_unique<GridRows>();
        rows->setCapacitySource([] { return capacity; });
        tester = std::make_unique<QAbstractItemModelTester>(
            rows.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dept->resetCounts();
        rows->show(source.get(), {GridColumn{"Department", "Department"}});
    }

    void cleanup() {
        QVERIFY(env->prompter().verifyAllAnswered());
        tester.reset();
        rows.reset();
        source.reset();
        dept.reset();
        env.reset();
        db.reset();
    }

    void opensOnTheFirstRowsReadingOneWindow() {
        QCOMPARE(rows->columnCount(), 1);
        QCOMPARE(rows->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Department"));
        QCOMPARE(shown(), (QStringList{deptName(1), deptName(2), deptName(3), deptName(4), deptName(5)}));
        QCOMPARE(rows->currentRow(), 0);
        QCOMPARE(rows->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QString("\u25B6"));
        QCOMPARE(rows->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString());
        QVERIFY(dept->rowsFetched <= 2 * capacity);
        checkWindow();
    }

    // Moves within the window only move the current row; others read the window again, the
    // current row keeping its place in it where the table allows.
    void followsTheCursor_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("top");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("reads");
        QTest::newRow("within the window") << QStringList{"next", "next"} << deptName(1) << 2 << false;
        QTest::newRow("back within the window")
            << QStringList{"last", "prior", "prior"} << deptName(26) << 2 << true;
        QTest::newRow("past the window's end")
            << QStringList{"next", "next", "next", "by:6"} << deptName(7) << 3 << true;
        QTest::newRow("last") << QStringList{"last"} << deptName(26) << 4 << true;
        QTest::newRow("first again from the last")
            << QStringList{"last", "first"} << deptName(1) << 0 << true;
        QTest::newRow("above the window's top") << QStringList{"by:10", "prior"} << deptName(10) << 0 << true;
        QTest::newRow("a row far away") << QStringList{"locate:Dept 20"} << deptName(20) << 0 << true;
        QTest::newRow("beyond the end") << QStringList{"by:100"} << deptName(26) << 4 << true;
        QTest::newRow("beyond the start") << QStringList{"by:3", "by:-100"} << deptName(1) << 0 << false;
    }
    void followsTheCursor() {
        QFETCH(QStringList, steps);
        QFETCH(QString, top);
        QFETCH(int, row);
        QFETCH(bool, reads);
        QSignalSpy resets(rows.get(), &QAbstractItemModel::modelReset);
        dept->resetCounts();
        for (const QString& s : steps) {
            move(s);
            checkWindow();
        }
        QCOMPARE(rows->text(0, 0), top);
        QCOMPARE(rows->currentRow(), row);
        QCOMPARE(resets.isEmpty(), !reads);
        QCOMPARE(dept->fetchCalls == 0, !reads);
        // A window's worth a step at the most, however far the step goes.
        QVERIFY2(dept->rowsFetched <= int(steps.size()) * 2 * capacity,
                 qPrintable(QString::number(dept->rowsFetched)));
    }

    // The grid's own moves: what the dataset tells meanwhile is read once, at the end.
    void aBatchReadsOnceAtItsEnd() {
        dept->resetCounts();
        rows->beginBatch();
        for (int i = 0; i < 12; ++i)
            dept->Next();
        QCOMPARE(dept->fetchCalls, 0);
        QCOMPARE(rows->currentRow(), 0);
        QCOMPARE(rows->text(1, 0), deptName(2)); // the window as read before
        rows->endBatch();
        QVERIFY(dept->rowsFetched <= 2 * capacity);
        QCOMPARE(current(), deptName(13));
        checkWindow();
    }

    // A new row in front of the row it was begun on, and how it ends.
    void aNewRowStandsInFrontOfItsRow_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("landsOn");
        QTest::addColumn<int>("count");
        QTest::newRow("posted") << "post"
                                << "Dept 03a" << departments + 1;
        QTest::newRow("cancelled") << "cancel" << deptName(3) << departments;
        QTest::newRow("deleted") << "delete" << deptName(3) << departments;
    }
    void aNewRowStandsInFrontOfItsRow() {
        QFETCH(QString, end);
        QFETCH(QString, landsOn);
        QFETCH(int, count);
        dept->MoveBy(2);
        dept->Insert();
        QCOMPARE(rows->rowCount(), capacity);
        QCOMPARE(rows->currentRow(), 2);
        QVERIFY(rows->isNewRow(2));
        QVERIFY(rows->keyOfRow(2).isEmpty());
        QCOMPARE(shown(), (QStringList{deptName(1), deptName(2), "", deptName(3), deptName(4)}));
        QCOMPARE(rows->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QString("*"));

        // Typing into the row changes only that row.
        QSignalSpy changed(rows.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy resets(rows.get(), &QAbstractItemModel::modelReset);
        dept->FieldByName("Department")->SetAsString("Dept 03a");
        QVERIFY(!changed.isEmpty());
        for (const auto& args : changed) {
            QCOMPARE(args.at(0).toModelIndex().row(), 2);
            QCOMPARE(args.at(1).toModelIndex().row(), 2);
        }
        QVERIFY(resets.isEmpty());
        QCOMPARE(rows->text(2, 0), QString("Dept 03a"));

        if (end == "post")
            dept->Post();
        else if (end == "cancel")
            dept->Cancel();
        else
            dept->Delete();
        QCOMPARE(current(), landsOn);
        QCOMPARE(int(stored().size()), count);
        checkWindow();
    }

    void aNewRowBegunPastTheLastRowStandsLast() {
        dept->Last();
        dept->Insert();
        rows->showNewRowLast();
        QCOMPARE(shown(), (QStringList{deptName(27), deptName(28), deptName(29), deptName(30), ""}));
        QVERIFY(rows->isNewRow(4));
        QVERIFY(rows->newRowIsLast());
        dept->FieldByName("Department")->SetAsString("Zoo");
        dept->Post();
        QVERIFY(!rows->newRowIsLast());
        QCOMPARE(current(), QString("Zoo"));
        QCOMPARE(rows->currentRow(), 4);
        checkWindow();
        // Asked in browse it changes nothing.
        rows->showNewRowLast();
        QVERIFY(!rows->newRowIsLast());
        checkWindow();
    }

    void editsAndDeletesOfShownRows() {
        dept->Next();
        dept->Edit();
        QCOMPARE(rows->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString("I"));
        dept->FieldByName("Department")->SetAsString("Dept 02b");
        QCOMPARE(rows->text(1, 0), QString("Dept 02b"));
        QCOMPARE(rows->text(2, 0), deptName(3)); // the others as read
        dept->Post();
        checkWindow();
        QCOMPARE(rows->text(1, 0), QString("Dept 02b"));

        dept->Delete();
        QCOMPARE(current(), deptName(3));
        QCOMPARE(rows->text(rows->rowCount() - 1, 0), deptName(6)); // refilled from below
        checkWindow();
    }

    void refreshFilterCloseAndReopen() {
        dept->MoveBy(3);
        QSignalSpy resets(rows.get(), &QAbstractItemModel::modelReset);
        QSignalSpy changed(rows.get(), &QAbstractItemModel::dataChanged);
        dept->Refresh();
        QVERIFY(resets.isEmpty()); // the same rows in the same places: refreshed in place
        QVERIFY(!changed.isEmpty());
        QCOMPARE(rows->currentRow(), 3);
        db->exec("UPDATE Dept SET Department = 'Dept 05x' WHERE Department = 'Dept 05'");
        QCOMPARE(rows->text(4, 0), deptName(5)); // what it last read
        dept->Refresh();
        QCOMPARE(rows->text(4, 0), QString("Dept 05x"));
        checkWindow();

        dept->SetFilter("Department = 'Nothing'");
        dept->SetFiltered(true);
        QCOMPARE(rows->rowCount(), 1); // an empty dataset still offers a row to type into
        QCOMPARE(rows->currentRow(), 0);
        QVERIFY(rows->keyOfRow(0).isEmpty());
        QCOMPARE(rows->text(0, 0), QString());
        dept->SetFiltered(false);
        checkWindow();

        dept->Close();
        QCOMPARE(rows->rowCount(), 0);
        QCOMPARE(rows->columnCount(), 1); // the stored column stays
        QCOMPARE(rows->fieldOf(0), nullptr);
        QVERIFY(!rows->canModify());
        dept->Open();
        QCOMPARE(rows->text(0, 0), deptName(1));
        checkWindow();
    }

    void everyFieldWithoutStoredColumns() {
        rows->show(source.get(), {});
        QCOMPARE(rows->columnCount(), 1);
        QCOMPARE(rows->columnTitle(0), QString("Department"));
        QCOMPARE(rows->fieldOf(0), dept->FieldByName("Department"));
        dept->Close();
        QCOMPARE(rows->columnCount(), 0);
        dept->Open();
        QCOMPARE(rows->columnCount(), 1);
        checkWindow();
    }

    void aChangedCapacityReadsAgain() {
        int cap = capacity;
        rows->setCapacitySource([&cap] { return cap; });
        dept->MoveBy(2);
        cap = 3;
        rows->updateCapacity();
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->text(rows->currentRow(), 0), deptName(3));
        dept->resetCounts();
        rows->updateCapacity(); // unchanged: nothing read
        QCOMPARE(dept->fetchCalls, 0);
        cap = capacity;
        rows->updateCapacity();
        checkWindow();
        rows->setCapacitySource([] { return capacity; });
    }

    void readOnlyOffersNoCell() {
        QVERIFY(rows->flags(rows->index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(rows->flags(rows->index(1, 0)) & Qt::ItemIsEditable)); // only the current row
        rows->setReadOnly(true);
        QVERIFY(!rows->canModify());
        QVERIFY(!(rows->flags(rows->index(0, 0)) & Qt::ItemIsEditable));
        source->SetAutoEdit(false);
        rows->setReadOnly(false);
        QVERIFY(!rows->cellEditable(0)); // browsing, and typing does not start an edit
        dept->Edit();
        QVERIFY(rows->cellEditable(0));
        dept->Cancel();
    }
};

QTEST_MAIN(TestGridRows)
#include "tst_gridrows.moc"
