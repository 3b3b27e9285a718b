// The end of the program: "File" > "Exit", its keys and the main window's close box end the
// run at once with exit code 0; nothing is asked, no table's close events run, and rows that
// hidden windows left in edit or insert are not stored.
#include "app/employeeform.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "apptest.h"
#include "data/table.h"
#include "locator/checkinform.h"
#include "locator/deptform.h"
#include <QApplication>
#include <QTimer>
#include <QtTest>

class TestProgramEnd : public QObject {
    Q_OBJECT

private slots:
    void endsWithoutStoringPendingRows_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("File > Exit") << "menu";
        QTest::newRow("Alt+F, X") << "keys";
        QTest::newRow("close box") << "frame";
    }

    void endsWithoutStoringPendingRows() {
        QFETCH(QString, how);
        apptest::Session session;
        auto& db = session.db();
        db.addStaff("Aardvark, Test", {{"Department", "Sales"}});
        const QVariant deptsBefore = db.scalar("SELECT COUNT(*) FROM Dept");

        int closeEvents = 0;
        bool stepsRan = false;
        bool visibleAtExit = false;
        bool searchTableOpen = false;
        QString failure;
        // Runs inside the program's message loop, once the main window is up.
        QTimer::singleShot(0, [&] {
            stepsRan = true;
            visibleAtExit = MainForm && MainForm->isVisible();
            // The search window is never shown, yet its table is open while the program runs.
            searchTableOpen =
                EmployeeForm && !EmployeeForm->isVisible() && EmployeeForm->table("Table1").Active();
            try {
                // A new department typed into the hidden department list, never posted ...
                data::Table& dept = DeptForm->table("Table1");
                dept.Insert();
                dept.FieldByName("Department")->SetAsString("Unsaved Department");
                // ... and a check-out left pending in the hidden check-out window.
                data::Table& staff = CheckInForm->table("StaffTable");
                if (!staff.Locate("Name", "Aardvark, Test")) failure += " no staff row";
                staff.Edit();
                staff.FieldByName("Status")->SetAsString("Out");
                for (data::DataSet* ds :
                     {static_cast<data::DataSet*>(&dept), static_cast<data::DataSet*>(&staff)})
                    for (auto e : {data::DataSetEvent::BeforeClose, data::DataSetEvent::AfterClose})
                        ds->setEvent(e, [&](data::DataSet&) { ++closeEvents; });
            } catch (const std::exception& e) {
                failure = QString::fromUtf8(e.what());
            }

            if (how == "menu") {
                MainForm->menuItem("Exit")->trigger();
            } else if (how == "keys") {
                MainForm->activateWindow();
                if (!QTest::qWaitForWindowActive(MainForm)) failure += " main window not active";
                QTest::keyClick(MainForm, Qt::Key_F, Qt::AltModifier);
                if (QWidget* popup = QApplication::activePopupWidget())
                    QTest::keyClick(popup, Qt::Key_X);
                else
                    failure += " no File menu";
            } else {
                MainForm->close();
            }
        });
        // Should the command not end the loop, the test ends it with a code of its own.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(20000);

        const int code = app::runApplication();

        QVERIFY(stepsRan);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(visibleAtExit);
        QVERIFY(searchTableOpen);
        QCOMPARE(code, 0);
        QCOMPARE(closeEvents, 0);
        QVERIFY(session.env().prompter().asked().isEmpty());
        QVERIFY(session.env().shower().shown().isEmpty());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Dept"), deptsBefore);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Dept WHERE Department = 'Unsaved Department'").toInt(), 0);
        QCOMPARE(db.scalar("SELECT Status FROM Staff WHERE Name = 'Aardvark, Test'").toString(),
                 QStringLiteral("IN"));
        // Every window is gone with the run.
        QVERIFY(app::createdWindows().isEmpty());
        for (const QString& name : apptest::windowNames())
            QVERIFY2(!apptest::instance(name), qPrintable(name));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TestProgramEnd)
#include "tst_programend.moc"
