// Both lists reached from the main window: "Staff Locator" > "Locator Board Setup" >
// "Destination List" / "Department List" show the one window created at start-up, which
// keeps its row and a pending insert from one showing to the next.
#include "app/mainform.h"
#include "app/startup.h"
#include "controls/db/dbcontrols.h"
#include "controls/plaincontrols.h"
#include "data/table.h"
#include "listtest.h"
#include "locator/deptform.h"
#include "locator/destinationform.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

using controls::DBEdit;
using controls::DBNavigator;
using liststest::press;
using liststest::type;

class TestListsMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;

    void choose(const QString& item) {
        QAction* a = MainForm->menuItem(item);
        QVERIFY(a->isEnabled() && a->isVisible());
        a->trigger();
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>(true);
        env = std::make_unique<testsupport::UiTestEnv>();
        testsupport::useFixedFormats();
        app::initialiseApplication();
        app::createWindows();
        app::showMainWindow();
    }

    void cleanup() {
        QVERIFY(env->prompter().verifyAllAnswered());
        app::destroyWindows();
        env.reset();
        db.reset();
    }

    void theItemsSitInTheSetupSubmenu() {
        QAction* setup = MainForm->menuItem("LocatorBoardSAetup1");
        QVERIFY(setup->menu());
        const QList<QAction*> items = setup->menu()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0], MainForm->menuItem("DestinationList1"));
        QCOMPARE(items[1], MainForm->menuItem("DepartmentList1"));
        QCOMPARE(items[0]->text(), QString("&Destination List"));
        QCOMPARE(items[1]->text(), QString("D&epartment List"));
    }

    void eachItemShowsItsWindow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("destinations") << "DestinationList1"
                                      << "DestinationForm"
                                      << "Staff Destination Setup";
        QTest::newRow("departments") << "DepartmentList1"
                                     << "DeptForm"
                                     << "Company Departments";
    }
    void eachItemShowsItsWindow() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        choose(item);
        QCOMPARE(env->shower().shown(), QStringList{window});
        controls::Form* shown = env->shower().lastShown();
        QVERIFY(shown == DestinationForm || shown == DeptForm);
        QCOMPARE(shown->objectName(), window);
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->windowTitle(), caption);
        shown->Close();
        choose(item);
        QCOMPARE(env->shower().lastShown(), shown); // the same window again
        QCOMPARE(env->shower().timesShown(window), 2);
        shown->Close();
    }

    // The road of a destination added from the menu and left by "Done".
    void aDestinationLeftPendingIsStoredAfterTheNextShowing() {
        const int before = db->scalar("SELECT COUNT(*) FROM Destination").toInt();
        choose("DestinationList1");
        testsupport::activate(DestinationForm);
        auto* nav = DestinationForm->child<DBNavigator>("DBNavigator");
        DestinationForm->child<DBEdit>("DBEdit1")->setFocus(Qt::MouseFocusReason);
        press(nav, DBNavigator::Insert);
        type("Zoning Board");
        QTest::mouseClick(DestinationForm->child<QPushButton>("Button1"), Qt::LeftButton);
        QVERIFY(!DestinationForm->isVisible());
        QCOMPARE(DestinationForm->table("Table1").State(), data::DataSetState::Insert);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Destination").toInt(), before);

        choose("DestinationList1");
        QCOMPARE(DestinationForm->child<DBEdit>("DBEdit1")->text(), QString("Zoning Board"));
        press(nav, DBNavigator::Next);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Destination").toInt(), before + 1);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Destination WHERE Destination = 'Zoning Board'").toInt(),
                 1);
        DestinationForm->Close();
    }
};

QTEST_MAIN(TestListsMenu)
#include "tst_listsmenu.moc"
