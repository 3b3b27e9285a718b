// Menus: the accelerator rule, the menu bar built from a data file, keyboard use.
#include "controls/form.h"
#include "controls/menu.h"
#include "controls/printersetup.h"
#include "tests/support/testui.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {

const QStringList kHandlers{"Setup1Click",
                            "ImportContacts1Click",
                            "PrintSetup1Click",
                            "ExitClick",
                            "DestinationList1Click",
                            "DepartmentList1Click",
                            "LocatorBoard1Click",
                            "EmployeeCheckIn1Click",
                            "EmployeeCheckOut1Click",
                            "EmployeeView1Click",
                            "DepartmentView1Click",
                            "EmployeesIN1Click",
                            "EmployeesOut1Click",
                            "INOutHistory1Click",
                            "Media1Click",
                            "MessageTypeListing1Click",
                            "AddMessage1Click",
                            "ReadMessages1Click",
                            "About1Click"};

class TTestMenu : public controls::Form {
public:
    TTestMenu() : Form("TestMenu") {
        for (const QString& h : kHandlers)
            bind(h, [this, h] { log << h; });
        bind("PrintSetup1Click", [this] {
            log << "PrintSetup1Click";
            printed = printerSetupDialog("PrinterSetupDialog1").Execute();
        });
        load();
    }
    QStringList log;
    bool printed = false;
};

} // namespace

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    void rule_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("expected");
        // The main menu: the bar and each drop-down by itself.
        QTest::newRow("bar") << QStringList{"&File", "Staff Locator", "Message Pad", "About"}
                             << QStringList{"&File", "&Staff Locator", "&Message Pad", "&About"};
        QTest::newRow("File")
            << QStringList{"Employee Setup", "", "Import Contacts", "", "Print Setup", "", "Exit"}
            << QStringList{"&Employee Setup", "", "&Import Contacts", "", "&Print Setup", "", "E&xit"};
        QTest::newRow("Staff Locator")
            << QStringList{"Locator Board Setup", "", "Locator Board",        "", "Employee Check In",
                           "Employee Check Out",  "", "Locator Board Reports"}
            << QStringList{"&Locator Board Setup", "", "L&ocator Board",        "", "&Employee Check In",
                           "E&mployee Check Out",  "", "Lo&cator Board Reports"};
        QTest::newRow("Locator Board Setup") << QStringList{"Destination List", "Department List"}
                                             << QStringList{"&Destination List", "D&epartment List"};
        QTest::newRow("Locator Board Reports")
            << QStringList{"Employee In / Out View", "Department IN / Out View", "Employees IN View",
                           "Employees Out View", "IN / Out History View"}
            << QStringList{"&Employee In / Out View", "&Department IN / Out View", "E&mployees IN View",
                           "Em&ployees Out View", "&IN / Out History View"};
        QTest::newRow("Message Pad") << QStringList{"Message Pad Setup", "", "Add Telephone Message",
                                                    "Read Telephone Messages"}
                                     << QStringList{"&Message Pad Setup", "", "&Add Telephone Message",
                                                    "&Read Telephone Messages"};
        QTest::newRow("Message Pad Setup") << QStringList{"Media Listing", "Message Type Listing"}
                                           << QStringList{"&Media Listing", "M&essage Type Listing"};
        // Marked letters are taken first, wherever they stand.
        QTest::newRow("marked later") << QStringList{"Save", "&Select"} << QStringList{"S&ave", "&Select"};
        QTest::newRow("digits count")
            << QStringList{"1st", "2nd", "1a"} << QStringList{"&1st", "&2nd", "1&a"};
        QTest::newRow("lower case compares upper")
            << QStringList{"exit", "Edit"} << QStringList{"&exit", "E&dit"};
        QTest::newRow("blanks and signs skipped")
            << QStringList{"- / Out", "(x)"} << QStringList{"- / &Out", "(&x)"};
        QTest::newRow("nothing free") << QStringList{"A", "a", "B"} << QStringList{"&A", "a", "&B"};
        QTest::newRow("literal ampersand") << QStringList{"&& Co", "Cd"} << QStringList{"&& &Co", "C&d"};
        QTest::newRow("dash separator")
            << QStringList{"Exit", "-", "Edit"} << QStringList{"&Exit", "-", "E&dit"};
    }
    void rule() {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, expected);
        QCOMPARE(controls::assignAccelerators(captions), expected);
    }

    void hiddenItemsTakeNoLetter() {
        QCOMPARE(controls::assignAccelerators({"Edit", "Exit", "Erase"}, {true, false, true}),
                 (QStringList{"&Edit", "Exit", "E&rase"}));
    }

    void builtMenuCarriesTheRule_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char*, const char*>> rows{
            {"File1", "&File"},
            {"Setup1", "&Employee Setup"},
            {"ImportContacts1", "&Import Contacts"},
            {"PrintSetup1", "&Print Setup"},
            {"Exit", "E&xit"},
            {"StaffLocator1", "&Staff Locator"},
            {"LocatorBoardSAetup1", "&Locator Board Setup"},
            {"DestinationList1", "&Destination List"},
            {"DepartmentList1", "D&epartment List"},
            {"LocatorBoard1", "L&ocator Board"},
            {"EmployeeCheckIn1", "&Employee Check In"},
            {"EmployeeCheckOut1", "E&mployee Check Out"},
            {"LocatorBoardReports1", "Lo&cator Board Reports"},
            {"EmployeeView1", "&Employee In / Out View"},
            {"DepartmentView1", "&Department IN / Out View"},
            {"EmployeesIN1", "E&mployees IN View"},
            {"EmployeesOut1", "Em&ployees Out View"},
            {"INOutHistory1", "&IN / Out History View"},
            {"MessagePad1", "&Message Pad"},
            {"MessagePadSetup1", "&Message Pad Setup"},
            {"Media1", "&Media Listing"},
            {"MessageTypeListing1", "M&essage Type Listing"},
            {"AddMessage1", "&Add Telephone Message"},
            {"ReadMessages1", "&Read Telephone Messages"},
            {"About1", "&About"}};
        for (const auto& [item, text] : rows)
            QTest::newRow(item) << QString(item) << QString(text);
    }
    void builtMenuCarriesTheRule() {
        QFETCH(QString, item);
        QFETCH(QString, text);
        testsupport::UiTestEnv env;
        TTestMenu w;
        QAction* a = w.menuItem(item);
        QCOMPARE(a->text(), text);
        QVERIFY(a->shortcut().isEmpty());
    }

    void structure() {
        testsupport::UiTestEnv env;
        TTestMenu w;
        QMenuBar* bar = w.menuBar();
        QVERIFY(bar);
        QCOMPARE(bar->objectName(), QString("VantrelMenu"));
        QStringList top;
        for (QAction* a : bar->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"&File", "&Staff Locator", "&Message Pad", "&About"}));
        // "About" is a command on the bar itself.
        QVERIFY(!w.menuItem("About1")->menu());
        auto* file = w.findChild<QMenu*>("File1");
        QVERIFY(file);
        int separators = 0;
        for (QAction* a : file->actions())
            separators += a->isSeparator();
        QCOMPARE(file->actions().size(), 7);
        QCOMPARE(separators, 3);
        QVERIFY(w.menuItem("LocatorBoardSAetup1")->menu());
        QCOMPARE(w.menuItem("LocatorBoardSAetup1")->menu()->actions().size(), 2);
        for (QAction* a : w.findChildren<QAction*>())
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
    }

    void barAboveContent() {
        testsupport::UiTestEnv env;
        TTestMenu w;
        w.ShowModal();
        QCOMPARE(w.menuBar()->parentWidget(), &w);
        QCOMPARE(w.menuBar()->y(), 0);
        QVERIFY(w.content()->y() >= w.menuBar()->height());
        // The stored client area is the content's, below the bar.
        QCOMPARE(w.content()->size(), QSize(521, 360));
        w.Close();
    }

    void itemsRunTheirHandlers() {
        testsupport::UiTestEnv env;
        TTestMenu w;
        w.menuItem("EmployeeCheckOut1")->trigger();
        w.menuItem("About1")->trigger();
        QCOMPARE(w.log, (QStringList{"EmployeeCheckOut1Click", "About1Click"}));
    }

    void keyboard_data() {
        QTest::addColumn<int>("barKey");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("handler");
        QTest::newRow("Alt+S E") << int(Qt::Key_S) << QList<int>{Qt::Key_E} << "EmployeeCheckIn1Click";
        QTest::newRow("Alt+S M") << int(Qt::Key_S) << QList<int>{Qt::Key_M} << "EmployeeCheckOut1Click";
        QTest::newRow("Alt+F X") << int(Qt::Key_F) << QList<int>{Qt::Key_X} << "ExitClick";
        QTest::newRow("Alt+S C P") << int(Qt::Key_S) << QList<int>{Qt::Key_C, Qt::Key_P}
                                   << "EmployeesOut1Click";
        QTest::newRow("Alt+S L E") << int(Qt::Key_S) << QList<int>{Qt::Key_L, Qt::Key_E}
                                   << "DepartmentList1Click";
        QTest::newRow("Alt+M R") << int(Qt::Key_M) << QList<int>{Qt::Key_R} << "ReadMessages1Click";
        QTest::newRow("Alt+M M E") << int(Qt::Key_M) << QList<int>{Qt::Key_M, Qt::Key_E}
                                   << "MessageTypeListing1Click";
        QTest::newRow("Alt+A") << int(Qt::Key_A) << QList<int>{} << "About1Click";
    }
    void keyboard() {
        QFETCH(int, barKey);
        QFETCH(QList<int>, keys);
        QFETCH(QString, handler);
        testsupport::UiTestEnv env;
        TTestMenu w;
        w.ShowModal();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key(barKey), Qt::AltModifier);
        for (int key : keys) {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY2(popup, "a drop-down is open");
            QTest::keyClick(popup, Qt::Key(key));
        }
        QCOMPARE(w.log, QStringList{handler});
        QVERIFY(!QApplication::activePopupWidget());
        w.Close();
    }

    void printSetupGoesThroughTheDialog() {
        testsupport::UiTestEnv env;
        TTestMenu w;
        w.menuItem("PrintSetup1")->trigger();
        QCOMPARE(env.printerDialogsShown(), 1);
        QVERIFY(!w.printed);
        env.setPrinterDialogAnswer(true);
        w.menuItem("PrintSetup1")->trigger();
        QCOMPARE(env.printerDialogsShown(), 2);
        QVERIFY(w.printed);
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
