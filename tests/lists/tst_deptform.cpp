// The department list: its stored layout, the grid edited in place (a full-width name,
// Insert, appending, Ctrl+Delete), the navigator, and "&Done" leaving a pending row for the
// next showing.
#include "controls/db/dbcontrols.h"
#include "controls/plaincontrols.h"
#include "data/table.h"
#include "layouts/layouts.h"
#include "listtest.h"
#include "locator/deptform.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QFontMetrics>
#include <QHeaderView>
#include <QScreen>
#include <QtTest>
#include <memory>

using controls::DBGrid;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using liststest::key;
using liststest::press;
using liststest::type;

class TestDeptForm : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<TDeptForm> form;

    testsupport::ScriptedPrompter& prompter() { return env->prompter(); }
    data::Table& table() { return form->table("Table1"); }
    DBGrid* grid() { return form->child<DBGrid>("DBGrid1"); }
    DBNavigator* nav() { return form->child<DBNavigator>("DBNavigator"); }
    QString current() { return table().FieldByName("Department")->AsString(); }
    QStringList storedDepts() {
        QStringList out;
        for (const auto& r : db->rows("SELECT Department FROM Dept ORDER BY Department"))
            out << r.value("Department").toString();
        return out;
    }
    QStringList shown() {
        QStringList out;
        for (int r = 0; r < grid()->shownRowCount(); ++r)
            out << grid()->cellText(r, 0);
        return out;
    }
    void create() {
        form = std::make_unique<TDeptForm>();
        QCOMPARE(DeptForm, form.get());
    }
    void showWithGridFocused() {
        QVERIFY(liststest::showActive(*form));
        grid()->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), grid());
    }
    void clickRow(int row) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, 0));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void clickDone() {
        QTest::mouseClick(form->child<controls::BitBtn>("BitBtn1"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { layouts::ensureLoaded(); }

    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        testsupport::useFixedFormats();
        for (const char* d : {"Accounting", "Marketing", "Sales"})
            db->addDept(d);
    }

    void cleanup() {
        QVERIFY(prompter().verifyAllAnswered());
        form.reset();
        env.reset();
        db.reset();
        QVERIFY(!DeptForm);
    }

    void storedLayout() {
        create();
        QCOMPARE(form->windowTitle(), QString("Company Departments"));
        QVERIFY(table().Active());
        QVERIFY(liststest::showActive(*form));
        const QRect screen = form->screen()->availableGeometry();
        const QPoint off = form->frameGeometry().center() - screen.center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                 qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));

        // One column "Department", 57 characters wide, over Table1 in name order.
        QCOMPARE(grid()->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(grid()->shownColumnCount(), 1);
        QCOMPARE(grid()->columnTitle(0), QString("Department"));
        QCOMPARE(grid()->columns().first().width, 57);
        // 57 characters of the grid's font, give or take the cell's margins.
        const int width = grid()->horizontalHeader()->sectionSize(0);
        const int digit = grid()->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        QVERIFY2(width >= 57 * digit && width <= 58 * digit + 16,
                 qPrintable(QString("%1 for a digit of %2").arg(width).arg(digit)));
        QVERIFY2(width <= grid()->viewport()->width(), "the column fits the window as stored");
        QCOMPARE(shown(), (QStringList{"Accounting", "Marketing", "Sales"}));

        // The grid fills the window above the bottom panel, and follows it when resized.
        auto* panel = form->child<QWidget>("Panel1");
        QVERIFY(panel->isAncestorOf(nav()));
        QCOMPARE(grid()->geometry().bottom() + 1, panel->geometry().top());
        QCOMPARE(panel->geometry().bottom() + 1, form->content()->height());
        QCOMPARE(grid()->width(), form->content()->width());
        const int before = grid()->height();
        form->resize(form->width() + 40, form->height() + 60);
        QCoreApplication::processEvents();
        QCOMPARE(grid()->height(), before + 60);
        QCOMPARE(grid()->width(), form->content()->width());

        // All ten buttons, without hints.
        QCOMPARE(nav()->visibleButtons().size(), DBNavigator::ButtonCount);
        for (int i = 0; i < DBNavigator::ButtonCount; ++i) {
            QVERIFY(nav()->button(DBNavigator::Button(i))->isVisible());
            QVERIFY(nav()->button(DBNavigator::Button(i))->toolTip().isEmpty());
        }
        auto* done = form->child<controls::BitBtn>("BitBtn1");
        QCOMPARE(done->text(), QString("&Done"));
        QVERIFY(done->isCloseKind());
        QVERIFY(panel->isAncestorOf(done));
    }

    void typingChangesTheRowStoredWhenLeft_data() {
        QTest::addColumn<QString>("reach");
        QTest::newRow("down key") << "down";
        QTest::newRow("click on the row") << "click";
    }
    void typingChangesTheRowStoredWhenLeft() {
        QFETCH(QString, reach);
        create();
        showWithGridFocused();
        if (reach == "click")
            clickRow(1);
        else
            key(Qt::Key_Down);
        QCOMPARE(current(), QString("Marketing"));
        type("Marketing and Sales");
        QCOMPARE(table().State(), data::DataSetState::Edit);
        QCOMPARE(storedDepts(), (QStringList{"Accounting", "Marketing", "Sales"}));
        key(Qt::Key_Down);
        QCOMPARE(storedDepts(), (QStringList{"Accounting", "Marketing and Sales", "Sales"}));
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(current(), QString("Sales"));
    }

    void aThirtyCharacterDepartmentIsStoredWhole_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const QString thirty = "Research and Development Grp 3";
        QCOMPARE(thirty.size(), 30);
        QTest::newRow("thirty") << thirty << thirty;
        QTest::newRow("longer: cut at thirty") << thirty + "45678" << thirty;
    }
    void aThirtyCharacterDepartmentIsStoredWhole() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        create();
        showWithGridFocused();
        key(Qt::Key_Insert);
        QCOMPARE(table().State(), data::DataSetState::Insert);
        type(typed);
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        QVERIFY(storedDepts().contains(kept));
        QCOMPARE(db->scalar("SELECT LENGTH(Department) FROM Dept WHERE Department = ?", {kept}).toInt(), 30);
        QCOMPARE(shown(), (QStringList{"Accounting", "Marketing", kept, "Sales"}));
    }

    void downPastTheLastRowAppends_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("left untouched: dropped") << "";
        QTest::newRow("with a name: stored") << "Transport";
    }
    void downPastTheLastRowAppends() {
        QFETCH(QString, typed);
        create();
        showWithGridFocused();
        key(Qt::Key_End, Qt::ControlModifier);
        key(Qt::Key_Down);
        QCOMPARE(table().State(), data::DataSetState::Insert);
        QCOMPARE(shown(), (QStringList{"Accounting", "Marketing", "Sales", ""}));
        type(typed);
        key(Qt::Key_Up);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QStringList expected{"Accounting", "Marketing", "Sales"};
        if (!typed.isEmpty()) expected << typed;
        QCOMPARE(storedDepts(), expected);
        QCOMPARE(shown(), expected);
    }

    void ctrlDeleteAsksFirst_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("OK") << ModalResult::OK << QStringList{"Accounting", "Sales"};
        QTest::newRow("Cancel") << ModalResult::Cancel << QStringList{"Accounting", "Marketing", "Sales"};
    }
    void ctrlDeleteAsksFirst() {
        QFETCH(ModalResult, answer);
        QFETCH(QStringList, left);
        db->addStaff("Abbott, Helen", {{"Department", "Marketing"}});
        create();
        showWithGridFocused();
        clickRow(1);
        QCOMPARE(current(), QString("Marketing"));
        prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        key(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(prompter().verifyAllAnswered());
        QCOMPARE(storedDepts(), left);
        QCOMPARE(shown(), left);
        QCOMPARE(current(), QString(answer == ModalResult::OK ? "Sales" : "Marketing"));
        // The employees of a deleted department keep its name.
        QCOMPARE(db->scalar("SELECT Department FROM Staff").toString(), QString("Marketing"));
    }

    void navigatorDeleteAsksFirst_data() { ctrlDeleteAsksFirst_data(); }
    void navigatorDeleteAsksFirst() {
        QFETCH(ModalResult, answer);
        QFETCH(QStringList, left);
        create();
        showWithGridFocused();
        press(nav(), DBNavigator::Next);
        QCOMPARE(grid()->currentShownRow(), 1);
        prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        press(nav(), DBNavigator::Delete);
        QVERIFY(prompter().verifyAllAnswered());
        QCOMPARE(storedDepts(), left);
        QCOMPARE(shown(), left);
    }

    void navigatorInsertAndPost() {
        create();
        showWithGridFocused();
        press(nav(), DBNavigator::Insert);
        QCOMPARE(table().State(), data::DataSetState::Insert);
        type("Legal");
        press(nav(), DBNavigator::Post);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(storedDepts(), (QStringList{"Accounting", "Legal", "Marketing", "Sales"}));
        QCOMPARE(current(), QString("Legal"));
    }

    // "&Done" closes the window and stores nothing; the next showing goes on with the row,
    // and leaving it there stores it.
    void doneLeavesTheRowPendingUntilTheNextMove_data() {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<bool>("cellOpen"); // "&Done" pressed with the cell's editor still open
        QTest::newRow("insert") << true << false;
        QTest::newRow("edit") << false << false;
        QTest::newRow("insert, cell still open") << true << true;
        QTest::newRow("edit, cell still open") << false << true;
    }
    void doneLeavesTheRowPendingUntilTheNextMove() {
        QFETCH(bool, inserting);
        QFETCH(bool, cellOpen);
        create();
        showWithGridFocused();
        key(Qt::Key_Down);
        if (inserting) key(Qt::Key_Insert);
        type("Purchasing");
        if (!cellOpen) key(Qt::Key_Return);
        const auto state = inserting ? data::DataSetState::Insert : data::DataSetState::Edit;
        QCOMPARE(table().State(), state);
        clickDone();
        QVERIFY(!form->isVisible());
        QCOMPARE(table().State(), state);
        QCOMPARE(storedDepts(), (QStringList{"Accounting", "Marketing", "Sales"}));

        showWithGridFocused();
        QCOMPARE(table().State(), state);
        QCOMPARE(current(), QString("Purchasing"));
        QCOMPARE(grid()->cellText(grid()->currentShownRow(), 0), QString("Purchasing"));
        press(nav(), DBNavigator::First);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(storedDepts(), inserting ? (QStringList{"Accounting", "Marketing", "Purchasing", "Sales"})
                                          : (QStringList{"Accounting", "Purchasing", "Sales"}));
        QCOMPARE(current(), QString("Accounting"));
    }

    void theCurrentRowIsKeptBetweenShowings() {
        create();
        showWithGridFocused();
        clickRow(2);
        clickDone();
        QVERIFY(liststest::showActive(*form));
        QCOMPARE(current(), QString("Sales"));
        QCOMPARE(grid()->currentShownRow(), 2);
        QCOMPARE(table().State(), data::DataSetState::Browse);
    }
};

QTEST_MAIN(TestDeptForm)
#include "tst_deptform.moc"
