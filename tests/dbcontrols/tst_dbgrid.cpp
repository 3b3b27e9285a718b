// The data grid over real tables: stored columns, following the cursor, editing in place,
// Insert, append-and-drop, Ctrl+Delete, and a large table read a few pages at a time.
#include "dbfixture.h"
#include <QHeaderView>
#include <QJsonObject>
#include <QScrollBar>
#include <QSqlQuery>

using namespace dbtest;
using controls::DBGrid;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

class TestDBGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<CountingTable> dept;
    std::unique_ptr<data::DataSource> source;
    std::unique_ptr<Host> host;

    DBGrid* deptGrid() {
        auto* g = host->add(new DBGrid);
        g->setObjectName("DBGrid1");
        g->setMinimumHeight(260);
        g->setColumns(
            QJsonArray{QJsonObject{{"field", "Department"}, {"title", "Department"}, {"width", 40}}});
        g->bind(source.get());
        return g;
    }
    QString current() { return dept->FieldByName("Department")->AsString(); }
    QStringList storedDepts() { return storedDepartments(*db); }
    QStringList shown(DBGrid* g, int column = 0) {
        QStringList out;
        for (int r = 0; r < g->shownRowCount(); ++r)
            out << g->cellText(r, column);
        return out;
    }
    void clickRow(DBGrid* g, int row, int column = 0) {
        const QRect r = g->visualRect(g->model()->index(row, column));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        for (const char* d : {"Accounts", "Marketing", "Sales"})
            db->addDept(d);
        dept = openTable("Table1", "Dept", "Department", {text("Department", 30)});
        source = std::make_unique<data::DataSource>("DataSource1");
        source->setDataSet(dept.get());
        host = std::make_unique<Host>();
    }

    void cleanup() {
        host.reset();
        source.reset();
        dept.reset();
        env.reset();
        db.reset();
    }

    void storedColumnsShapeTheGrid() {
        db->addStaff("Abbott, Helen", {{"Status", "Out"}, {"Department", "Sales"}});
        auto staff =
            openTable("StaffTable", "Staff", "Name",
                      {text("Name", 25), text("Status", 3), text("Department", 25), text("Return_Date", 15)});
        data::DataSource staffSource("DataSource2");
        staffSource.setDataSet(staff.get());
        auto* g = host->add(new DBGrid);
        const QJsonArray columns{
            QJsonObject{{"field", "Status"}, {"alignment", "center"}, {"visible", false}},
            QJsonObject{{"field", "Name"}, {"title", "Name"}, {"titleBold", true}},
            QJsonObject{{"field", "Department"}},
            QJsonObject{
                {"field", "Return_Date"}, {"title", "Retrun Date"}, {"alignment", "center"}, {"width", 12}},
        };
        g->setProperty("dataSource", "DataSource2");
        g->setProperty("columns", columns);
        Objects objects;
        objects.sources.insert("DataSource2", &staffSource);
        g->bindData(objects);
        QCOMPARE(g->columns().size(), 4); // the hidden one is kept, not shown
        QCOMPARE(g->shownColumnCount(), 3);
        QCOMPARE(g->columnTitle(0), QString("Name"));
        QCOMPARE(g->columnTitle(1), QString("Department")); // no title stored: the field's name
        QCOMPARE(g->columnTitle(2), QString("Retrun Date"));
        QCOMPARE(g->cellText(0, 0), QString("Abbott, Helen"));
        QCOMPARE(g->cellText(0, 1), QString("Sales"));
        auto* m = g->model();
        QVERIFY(m->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!m->headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        const int centre = m->index(0, 2).data(Qt::TextAlignmentRole).toInt();
        QVERIFY(centre & Qt::AlignHCenter);
        QVERIFY(m->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter);
        QVERIFY(m->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
        // Widths in characters: 12 stored, 25 from the field's display width.
        QVERIFY(g->horizontalHeader()->sectionSize(1) > g->horizontalHeader()->sectionSize(2));
    }

    void currentRowFollowsTheCursorBothWays() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        QCOMPARE(shown(g), (QStringList{"Accounts", "Marketing", "Sales"}));
        QCOMPARE(g->currentShownRow(), 0);
        dept->Last();
        QCOMPARE(g->currentShownRow(), 2);
        QCOMPARE(g->currentIndex().row(), 2);
        clickRow(g, 1);
        QCOMPARE(current(), QString("Marketing"));
        QCOMPARE(g->currentShownRow(), 1);
        g->setFocus();
        key(Qt::Key_Up);
        QCOMPARE(current(), QString("Accounts"));
        key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(current(), QString("Sales"));
        key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(current(), QString("Accounts"));
        QCOMPARE(dept->State(), data::DataSetState::Browse);
    }

    // A click on another row only moves there: what is typed next edits that row at once,
    // and no cell editor opens by itself afterwards.
    void typingRightAfterAClickOnAnotherRowEditsIt() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        clickRow(g, 1);
        QCOMPARE(current(), QString("Marketing"));
        type("M");
        QCOMPARE(dept->State(), data::DataSetState::Edit);
        key(Qt::Key_Escape);
        key(Qt::Key_Escape);
        QCOMPARE(dept->State(), data::DataSetState::Browse);
        clickRow(g, 2);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(g));
        QCOMPARE(dept->State(), data::DataSetState::Browse);
    }

    // A grid made hidden (as every window is at start-up) whose columns are wider than it:
    // the first showing keeps the rows as read, so a change stored since is not shown yet.
    void firstShowingKeepsTheRowsReadWhenColumnsOverflow() {
        for (int i = 0; i < 30; ++i)
            db->addDept(QString("Dept %1").arg(i, 2, 10, QChar('0')));
        QWidget w;
        auto* g = new DBGrid(&w);
        // A height whose room for rows loses one row to the scroll bar.
        const int height = 2 * g->frameWidth() + g->horizontalHeader()->sizeHint().height() +
                           6 * g->verticalHeader()->defaultSectionSize() +
                           g->horizontalScrollBar()->sizeHint().height() / 2;
        w.resize(300, height);
        g->setGeometry(0, 0, 300, height);
        g->setColumns(QJsonArray{QJsonObject{{"field", "Department"}, {"width", 120}}});
        g->bind(source.get());
        QCOMPARE(g->cellText(0, 0), QString("Accounts"));
        db->exec("UPDATE Dept SET Department = 'Changed' WHERE Department = 'Accounts'");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(g->horizontalScrollBar()->isVisible());
        QCOMPARE(g->cellText(0, 0), QString("Accounts"));
    }

    void aChangedRowIsWrittenWhenTheRowIsLeft_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("down key") << "down";
        QTest::newRow("click on another row") << "click";
        QTest::newRow("navigator move elsewhere") << "next";
    }
    void aChangedRowIsWrittenWhenTheRowIsLeft() {
        QFETCH(QString, how);
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        type("Admin");
        QCOMPARE(dept->State(), data::DataSetState::Edit);
        QCOMPARE(g->cellText(0, 0), QString("Accounts")); // still in the cell's editor
        QCOMPARE(storedDepts(), (QStringList{"Accounts", "Marketing", "Sales"}));
        if (how == "down")
            key(Qt::Key_Down);
        else if (how == "click")
            clickRow(g, 2);
        else
            dept->Next();
        QCOMPARE(dept->State(), data::DataSetState::Browse);
        QCOMPARE(storedDepts(), (QStringList{"Admin", "Marketing", "Sales"}));
        QCOMPARE(shown(g), (QStringList{"Admin", "Marketing", "Sales"}));
        QCOMPARE(current(), QString(how == "click" ? "Sales" : "Marketing"));
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void leavingTheCellWritesIntoTheRowWithoutPosting() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        type("Admin");
        key(Qt::Key_Return); // closes the cell's editor
        QCOMPARE(current(), QString("Admin"));
        QCOMPARE(g->cellText(0, 0), QString("Admin"));
        QCOMPARE(dept->State(), data::DataSetState::Edit);
        host->other->setFocus(Qt::TabFocusReason);
        QCOMPARE(dept->State(), data::DataSetState::Edit); // pending, as "&Done" leaves it
        QCOMPARE(storedDepts().first(), QString("Accounts"));
    }

    void cellTakesAtMostTheFieldsWidth() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        type(QString(35, 'x'));
        key(Qt::Key_Return);
        QCOMPARE(current(), QString(30, 'x'));
    }

    void tabInACellWritesItAndLeavesTheGrid() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        type("Admin");
        key(Qt::Key_Tab);
        QCOMPARE(current(), QString("Admin"));
        QVERIFY(!g->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != g);
        QCOMPARE(dept->State(), data::DataSetState::Edit);
    }

    void numberCellsTakeOnlyNumberKeys() {
        db->addDestination("Lunch", {{"Longitude", 1.5}});
        auto dest = openTable("Table2", "Destination", "Destination",
                              {text("Destination", 25), def("Longitude", data::FieldType::Float)});
        data::DataSource destSource("DataSource2");
        destSource.setDataSet(dest.get());
        auto* g = host->add(new DBGrid);
        g->bind(&destSource);
        QVERIFY(host->showActive());
        QCOMPARE(g->cellText(0, 1), QString("1.5"));
        g->setFocus();
        key(Qt::Key_Right);
        type("-7x.2;5");
        key(Qt::Key_Return);
        QCOMPARE(dest->FieldByName("Longitude")->AsFloat(), -7.25);
        g->setFocus();
        type("1-");
        env->prompter().expect("'1-' is not a valid floating point value for field 'Longitude'",
                               MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        key(Qt::Key_Up); // leaving the row takes the cell first: refused, nothing moves
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(dest->State(), data::DataSetState::Edit);
        QCOMPARE(dest->FieldByName("Longitude")->AsFloat(), -7.25);
    }

    void escapeAbandonsTheEdit() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        type("Admin");
        key(Qt::Key_Escape); // drops the cell's text
        QCOMPARE(g->cellText(0, 0), QString("Accounts"));
        QCOMPARE(dept->State(), data::DataSetState::Edit);
        key(Qt::Key_Escape); // and the row's edit
        QCOMPARE(dept->State(), data::DataSetState::Browse);

        type("Admin");
        key(Qt::Key_Return);
        QCOMPARE(current(), QString("Admin"));
        key(Qt::Key_Escape);
        QCOMPARE(dept->State(), data::DataSetState::Browse);
        QCOMPARE(current(), QString("Accounts"));
        QCOMPARE(storedDepts(), (QStringList{"Accounts", "Marketing", "Sales"}));
    }

    void insertKeyOpensANewRow() {
        DBGrid* g = deptGrid();
        dept->Next(); // on Marketing
        QVERIFY(host->showActive());
        g->setFocus();
        key(Qt::Key_Insert);
        QCOMPARE(dept->State(), data::DataSetState::Insert);
        QCOMPARE(g->shownRowCount(), 4);
        QCOMPARE(g->currentShownRow(), 1); // in front of the row it was on
        QVERIFY(g->isInsertRow(1));
        QCOMPARE(shown(g), (QStringList{"Accounts", "", "Marketing", "Sales"}));
        type("Legal");
        key(Qt::Key_Up); // leaving the row posts it
        QCOMPARE(storedDepts(), (QStringList{"Accounts", "Legal", "Marketing", "Sales"}));
        QCOMPARE(current(), QString("Accounts"));
        QCOMPARE(shown(g), (QStringList{"Accounts", "Legal", "Marketing", "Sales"}));
        QCOMPARE(g->model()->headerData(0, Qt::Vertical).toString(), QString("\u25B6"));
    }

    void downPastTheLastRowAppendsARowDroppedWhenUntouched_data() {
        QTest::addColumn<QString>("leave");
        QTest::newRow("up key") << "up";
        QTest::newRow("click on another row") << "click";
        QTest::newRow("focus leaves the grid") << "focus";
        QTest::newRow("down again stays") << "down";
    }
    void downPastTheLastRowAppendsARowDroppedWhenUntouched() {
        QFETCH(QString, leave);
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        key(Qt::Key_End, Qt::ControlModifier);
        key(Qt::Key_Down);
        QCOMPARE(dept->State(), data::DataSetState::Insert);
        QCOMPARE(shown(g), (QStringList{"Accounts", "Marketing", "Sales", ""}));
        QVERIFY(g->isInsertRow(3));
        QCOMPARE(g->model()->headerData(3, Qt::Vertical).toString(), QString("*"));
        if (leave == "down") {
            key(Qt::Key_Down);
            QCOMPARE(dept->State(), data::DataSetState::Insert);
            QCOMPARE(g->shownRowCount(), 4);
            return;
        }
        if (leave == "up")
            key(Qt::Key_Up);
        else if (leave == "click")
            clickRow(g, 0);
        else
            host->other->setFocus(Qt::TabFocusReason);
        QCOMPARE(dept->State(), data::DataSetState::Browse);
        QCOMPARE(shown(g), (QStringList{"Accounts", "Marketing", "Sales"}));
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Dept").toInt(), 3);
        QCOMPARE(current(), QString(leave == "click" ? "Accounts" : "Sales"));
    }

    void anAppendedRowWithTextIsStored() {
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        g->setFocus();
        key(Qt::Key_End, Qt::ControlModifier);
        key(Qt::Key_Down);
        type("Transport");
        key(Qt::Key_Down); // stored, and the next row is appended
        QCOMPARE(storedDepts(), (QStringList{"Accounts", "Marketing", "Sales", "Transport"}));
        QCOMPARE(dept->State(), data::DataSetState::Insert);
        key(Qt::Key_Up);
        QCOMPARE(current(), QString("Transport"));
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Dept").toInt(), 4);
    }

    void ctrlDeleteAsksFirst_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("OK") << ModalResult::OK << QStringList{"Accounts", "Sales"};
        QTest::newRow("Cancel") << ModalResult::Cancel << QStringList{"Accounts", "Marketing", "Sales"};
    }
    void ctrlDeleteAsksFirst() {
        QFETCH(ModalResult, answer);
        QFETCH(QStringList, left);
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        clickRow(g, 1);
        env->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        key(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(storedDepts(), left);
        QCOMPARE(shown(g), left);
        QCOMPARE(current(), QString(answer == ModalResult::OK ? "Sales" : "Marketing"));
    }

    void emptyTableOffersARowToTypeInto() {
        db->exec("DELETE FROM Dept");
        dept->Refresh();
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        QCOMPARE(g->shownRowCount(), 1);
        g->setFocus();
        key(Qt::Key_Delete, Qt::ControlModifier); // nothing to delete, nothing asked
        type("Legal");
        QCOMPARE(dept->State(), data::DataSetState::Insert);
        key(Qt::Key_Return);
        dept->Post();
        QCOMPARE(storedDepts(), QStringList{"Legal"});
        QCOMPARE(shown(g), QStringList{"Legal"});
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void refreshAndFiltersRereadTheRows() {
        db->addStaff("Abbott, Helen", {{"Status", "IN"}});
        db->addStaff("Baker, Tom", {{"Status", "Out"}});
        db->addStaff("Carter, Sue", {{"Status", "IN"}});
        auto staff = openTable("StaffTable", "Staff", "Name", {text("Name", 25), text("Status", 3)});
        data::DataSource staffSource("DataSource3");
        staffSource.setDataSet(staff.get());
        auto* g = host->add(new DBGrid);
        g->bind(&staffSource);
        QVERIFY(host->showActive());
        QCOMPARE(g->shownColumnCount(), 2); // no stored columns: every field
        QCOMPARE(shown(g, 1), (QStringList{"IN", "Out", "IN"}));
        db->exec("UPDATE Staff SET Status = 'Out' WHERE Name = 'Carter, Sue'");
        QCOMPARE(shown(g, 1), (QStringList{"IN", "Out", "IN"})); // shows what it last read
        staff->Refresh();
        QCOMPARE(shown(g, 1), (QStringList{"IN", "Out", "Out"}));
        staff->SetFilter("Status = 'Out'");
        staff->SetFiltered(true);
        QCOMPARE(shown(g, 0), (QStringList{"Baker, Tom", "Carter, Sue"}));
        staff->SetFilter("Status = 'Gone'");
        QCOMPARE(g->shownRowCount(), 1); // an empty board: one empty row
        QCOMPARE(g->cellText(0, 0), QString());
    }

    void aRejectedPostKeepsTheRowEditing() {
        // Two employees may not share a name (NAMEIndex is unique).
        db->addStaff("Abbott, Helen");
        db->addStaff("Baker, Tom");
        auto staff = openTable("StaffTable", "Staff", "Name", {text("Name", 25), text("Status", 3)});
        data::DataSource staffSource("DataSource3");
        staffSource.setDataSet(staff.get());
        auto* g = host->add(new DBGrid);
        g->bind(&staffSource);
        QVERIFY(host->showActive());
        g->setFocus();
        type("Baker, Tom");
        env->prompter().expectMatching(QRegularExpression(".+"), MsgDlgType::Error, MsgButtons::OK,
                                       ModalResult::OK);
        key(Qt::Key_Down);
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(staff->FieldByName("Name")->AsString(), QString("Baker, Tom"));
        QCOMPARE(g->currentShownRow(), 0);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Staff WHERE Name = 'Abbott, Helen'").toInt(), 1);
    }

    void aLargeTableIsReadAFewRowsAtATime() {
        {
            QSqlDatabase raw = db->raw();
            raw.transaction();
            QSqlQuery q(raw);
            QVERIFY(q.prepare("INSERT INTO \"Dept\" (\"Department\") VALUES (?)"));
            for (int i = 1; i <= 10000; ++i) {
                q.addBindValue(QString("Dept %1").arg(i, 5, 10, QChar('0')));
                QVERIFY(q.exec());
            }
            raw.commit();
        }
        db->exec("DELETE FROM Dept WHERE Department NOT LIKE 'Dept %'");
        dept->Close();
        dept->Open();
        dept->resetCounts();
        DBGrid* g = deptGrid();
        QVERIFY(host->showActive());
        const int cap = g->visibleRowCapacity();
        QVERIFY(cap >= 5);
        QCOMPARE(g->shownRowCount(), cap);
        QCOMPARE(g->cellText(0, 0), QString("Dept 00001"));
        const int openRows = dept->rowsFetched;
        QVERIFY2(openRows <= 3 * cap, qPrintable(QString::number(openRows)));

        g->setFocus();
        for (int i = 0; i < 10; ++i)
            key(Qt::Key_PageDown);
        QCOMPARE(current(), QString("Dept %1").arg(1 + 10 * cap, 5, 10, QChar('0')));
        QCOMPARE(g->cellText(g->currentShownRow(), 0), current());
        key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(current(), QString("Dept 10000"));
        QCOMPARE(g->cellText(g->shownRowCount() - 1, 0), QString("Dept 10000"));
        QCOMPARE(g->currentShownRow(), g->shownRowCount() - 1);
        QCOMPARE(g->rowScrollBar()->value(), g->rowScrollBar()->maximum());
        key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(g->cellText(0, 0), QString("Dept 00001"));
        QCOMPARE(g->rowScrollBar()->value(), g->rowScrollBar()->minimum());
        // Thirteen moves, each a window's worth at most, and never the whole table.
        QVERIFY2(dept->rowsFetched <= 14 * 3 * cap,
                 qPrintable(QString("%1 rows in %2 calls").arg(dept->rowsFetched).arg(dept->fetchCalls)));
    }
};

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
