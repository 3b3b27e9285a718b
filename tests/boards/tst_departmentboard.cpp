// The department board: the pick list read once at start-up, the filter built from the
// picked name (quotes doubled, a trailing "*" as a prefix), every selection going back to the
// first row read afresh, and an activation that does nothing.
#include "boardtest.h"
#include "controls/plaincontrols.h"
#include "data/query.h"
#include "data/table.h"
#include "locator/locatorform2.h"
#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using controls::DBGrid;
using controls::DBLookupComboBox;
using controls::DBNavigator;

namespace {
const QString longDept = "Research and Development Dept"; // 29 characters
}

class TestDepartmentBoard : public QObject {
    Q_OBJECT

    std::unique_ptr<boardtest::Desk> desk;
    testsupport::TestDatabase& db() { return desk->db(); }
    DBLookupComboBox* pickList() { return LocatorForm2->child<DBLookupComboBox>("DBLookupComboBox1"); }
    QPushButton* selectButton() { return LocatorForm2->child<QPushButton>("Button1"); }
    DBGrid* grid() { return LocatorForm2->child<DBGrid>("DBGrid1"); }
    DBNavigator* navigator() { return LocatorForm2->child<DBNavigator>("DBNavigator2"); }
    data::Table& table1() { return LocatorForm2->table("Table1"); }
    QStringList listed() { return boardtest::column(grid(), "Name"); }
    QString current() { return boardtest::currentCell(grid(), "Name"); }

    void select(const QString& department) {
        pickList()->setKeyValue(department);
        QCOMPARE(pickList()->text(), department);
        boardtest::click(selectButton());
    }
    QStringList pickListTexts() {
        auto* list = pickList()->list();
        list->fetchAll();
        QStringList out;
        for (int i = 0; i < list->rowCount(); ++i)
            out << list->text(i);
        return out;
    }

private slots:
    void init() {
        desk = std::make_unique<boardtest::Desk>();
        for (const QString& d : {QString("Accounts"), QString("Mary's Office"), QString("Sales"),
                                 QString("Sales*"), QString("sales"), longDept, QString("Empty Dept")})
            db().addDept(d);
        db().addStaff("Irwin, Kay", {{"Department", "Sales"}});
        db().addStaff("Abbott, Helen", {{"Department", "Accounts"}});
        db().addStaff("Baker, Tom", {{"Department", "Sales"}, {"Status", "Out"}, {"Destination", "Bank"}});
        db().addStaff("Clark, Ida", {{"Department", "Sales East"}});
        db().addStaff("Davis, Roy", {{"Department", "Mary's Office"}});
        db().addStaff("Evans, Pia", {{"Department", "sales"}});
        db().addStaff("Ford, Ada", {{"Department", "Salesforce"}});
        // The department list's name as Staff holds it: its first 25 characters.
        db().addStaff("Grant, Lee", {{"Department", longDept.left(25)}});
        db().addStaff("Hill, Joe", {{"Department", QVariant()}});
        desk->createWindows();
        boardtest::show(LocatorForm2);
    }
    void cleanup() {
        QVERIFY(desk->prompter().verifyAllAnswered());
        desk.reset();
    }

    void layoutAsStored() {
        QGroupBox* filter = LocatorForm2->findChildren<QGroupBox*>().first();
        QCOMPARE(filter->title(), QString("Department Filter"));
        QVERIFY(filter->isAncestorOf(pickList()));
        QVERIFY(filter->isAncestorOf(selectButton()));
        QCOMPARE(selectButton()->text(), QString("Select Deptartment"));
        QCOMPARE(selectButton()->toolTip(), QString("Click to locate employee record..."));
        QGroupBox* nav = LocatorForm2->findChildren<QGroupBox*>().last();
        QCOMPARE(nav->title(), QString("Locator Board Navigation"));
        QVERIFY(nav->isAncestorOf(navigator()));
        QVERIFY(nav->isAncestorOf(LocatorForm2->child<controls::BitBtn>("BitBtn1")));
        // A pick-only list over the department query, bound to no field.
        QVERIFY(!pickList()->isBound());
        QVERIFY(!pickList()->isEditable());
        QCOMPARE(pickList()->listDataSet(), &LocatorForm2->dataSet("Query3"));
        QCOMPARE(pickList()->list()->listField(), QString("Department"));
        QCOMPARE(pickList()->list()->keyField(), QString("Department"));
        data::Query& q = LocatorForm2->query("Query3");
        QCOMPARE(q.SQL(), (QStringList{"SELECT Department", "FROM Dept Dept", "ORDER BY Department"}));
        QCOMPARE(q.fields().size(), 1);
        QCOMPARE(q.fields().first()->name(), QString("Query3Department"));
        QCOMPARE(q.fields().first()->Size(), 30);
        QCOMPARE(LocatorForm2->dataSource("DataSource3").dataSet(), &q);
        QCOMPARE(pickListTexts(), (QStringList{"Accounts", "Empty Dept", "Mary's Office", longDept, "Sales",
                                               "Sales*", "sales"}));
    }

    void emptyUntilTheFirstSelection() {
        QVERIFY(!table1().Active());
        QCOMPARE(listed(), QStringList());
        for (DBNavigator::Button b : navigator()->visibleButtons())
            QVERIFY2(!navigator()->button(b)->isEnabled(), qPrintable(DBNavigator::buttonName(b)));
        QCOMPARE(pickList()->text(), QString());
        QVERIFY(!pickList()->keyValue().isValid());
    }

    void selection_data() {
        QTest::addColumn<QString>("department");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a name") << "Sales"
                                << "Department ='Sales'" << QStringList{"Baker, Tom", "Irwin, Kay"};
        QTest::newRow("a quote inside the name")
            << "Mary's Office"
            << "Department ='Mary''s Office'" << QStringList{"Davis, Roy"};
        QTest::newRow("a name ending in a star: its beginning")
            << "Sales*"
            << "Department ='Sales*'" << QStringList{"Baker, Tom", "Clark, Ida", "Ford, Ada", "Irwin, Kay"};
        QTest::newRow("same letters, other case") << "sales"
                                                  << "Department ='sales'" << QStringList{"Evans, Pia"};
        QTest::newRow("longer than the employees' field")
            << longDept << "Department ='" + longDept + "'" << QStringList{};
        QTest::newRow("nobody in it") << "Empty Dept"
                                      << "Department ='Empty Dept'" << QStringList{};
    }
    void selection() {
        QFETCH(QString, department);
        QFETCH(QString, filter);
        QFETCH(QStringList, names);
        select(department);
        QVERIFY(table1().Active());
        QVERIFY(table1().Filtered());
        QCOMPARE(table1().Filter(), filter);
        QCOMPARE(listed(), names);
        if (!names.isEmpty()) QCOMPARE(current(), names.first());
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void enterSelectsNothingAndEscDoesNotClose() {
        pickList()->setKeyValue(QString("Sales"));
        pickList()->setFocus();
        QTest::keyClick(pickList(), Qt::Key_Return);
        QTest::keyClick(pickList(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!table1().Active());
        QCOMPARE(table1().Filter(), QString());
        QTest::keyClick(pickList(), Qt::Key_Escape);
        QVERIFY(LocatorForm2->isVisible());
        for (QPushButton* b : LocatorForm2->findChildren<QPushButton*>())
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
    }

    void pickedByTyping() {
        pickList()->setFocus();
        QTest::keyClicks(pickList(), "mar");
        QCOMPARE(pickList()->text(), QString("Mary's Office"));
        boardtest::click(selectButton());
        QCOMPARE(listed(), QStringList{"Davis, Roy"});
    }

    void nothingPickedSelectsTheEmptyDepartment() {
        boardtest::click(selectButton());
        QCOMPARE(table1().Filter(), QString("Department =''"));
        QCOMPARE(listed(), QStringList{"Hill, Joe"});
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void everySelectionGoesBackToTheFirstRowReadAfresh() {
        select("Sales*");
        QCOMPARE(current(), QString("Baker, Tom"));
        boardtest::click(navigator()->button(DBNavigator::Next));
        boardtest::click(navigator()->button(DBNavigator::Next));
        QCOMPARE(current(), QString("Ford, Ada"));
        db().exec("UPDATE Staff SET Department = 'Marketing' WHERE Name = 'Clark, Ida'");
        db().exec("UPDATE Staff SET Destination = 'Airport' WHERE Name = 'Baker, Tom'");
        boardtest::click(selectButton());
        QCOMPARE(current(), QString("Baker, Tom"));
        QCOMPARE(listed(), (QStringList{"Baker, Tom", "Ford, Ada", "Irwin, Kay"}));
        QCOMPARE(boardtest::currentCell(grid(), "Destination"), QString("Airport"));
    }

    void theFilterStaysUntilTheNextSelection() {
        select("Sales");
        boardtest::click(LocatorForm2->child<controls::BitBtn>("BitBtn1"));
        QVERIFY(!LocatorForm2->isVisible());
        boardtest::show(LocatorForm2);
        QCOMPARE(pickList()->text(), QString("Sales"));
        QCOMPARE(listed(), (QStringList{"Baker, Tom", "Irwin, Kay"}));
        select("Accounts");
        QCOMPARE(listed(), QStringList{"Abbott, Helen"});
    }

    void showingAgainReadsNothing() {
        select("Sales");
        boardtest::click(LocatorForm2->child<controls::BitBtn>("BitBtn1"));
        db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Airport' WHERE Name = 'Irwin, Kay'");
        boardtest::show(LocatorForm2);
        QCOMPARE(boardtest::column(grid(), "Destination"), (QStringList{"Bank", "IN Office"}));
        boardtest::click(navigator()->button(DBNavigator::Refresh));
        QCOMPARE(boardtest::column(grid(), "Destination"), (QStringList{"Bank", "Airport"}));
        QCOMPARE(boardtest::column(grid(), "Status"), (QStringList{"Out", "Out"}));
    }

    void thePickListKeepsWhatItReadAtStartUp() {
        db().addDept("Marketing");
        db().exec("UPDATE Dept SET Department = 'Finance' WHERE Department = 'Accounts'");
        boardtest::click(LocatorForm2->child<controls::BitBtn>("BitBtn1"));
        boardtest::show(LocatorForm2);
        const QStringList texts = pickListTexts();
        QVERIFY(!texts.contains("Marketing"));
        QVERIFY(!texts.contains("Finance"));
        QVERIFY(texts.contains("Accounts"));
        // The old name still selects the employees who kept it.
        select("Accounts");
        QCOMPARE(listed(), QStringList{"Abbott, Helen"});
    }

    void aStatusTypedInTheGridIsStoredOnLeavingTheRow() {
        select("Sales");
        const int c = boardtest::columnOf(grid(), "Status");
        QCOMPARE(c, 0);
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(grid()->currentShownRow(), c));
        boardtest::type("IN");
        boardtest::key(Qt::Key_Down);
        QCOMPARE(db().scalar("SELECT Status FROM Staff WHERE Name = 'Baker, Tom'").toString(), QString("IN"));
        QCOMPARE(current(), QString("Irwin, Kay"));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
    }

    void aPendingGridEditIsStoredByTheNextSelection() {
        select("Sales");
        grid()->setFocus();
        grid()->setCurrentIndex(
            grid()->model()->index(grid()->currentShownRow(), boardtest::columnOf(grid(), "Destination")));
        boardtest::type("Canteen");
        pickList()->setKeyValue("Accounts");
        boardtest::click(selectButton());
        QCOMPARE(db().scalar("SELECT Destination FROM Staff WHERE Name = 'Baker, Tom'").toString(),
                 QString("Canteen"));
        QCOMPARE(listed(), QStringList{"Abbott, Helen"});
    }
};

QTEST_MAIN(TestDepartmentBoard)
#include "tst_departmentboard.moc"
