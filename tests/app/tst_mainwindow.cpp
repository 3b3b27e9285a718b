// The main window: its place and static content, the menu bar with its accelerators, the
// commands that show the other windows, the keyboard, and Print Setup.
#include "app/aboutform.h"
#include "app/appfonts.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "apptest.h"
#include "controls/plaincontrols.h"
#include "controls/printersetup.h"
#include "data/table.h"
#include "locator/destinationform.h"
#include <QAction>
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPageLayout>
#include <QPrinter>
#include <QtTest>

namespace {

// "name|caption" for every item of a menu in order, "-" for a separator; submenus nested.
void flatten(const QList<QAction*>& actions, const QString& indent, QStringList& out) {
    for (QAction* a : actions) {
        if (a->isSeparator()) {
            out << indent + u'-';
            continue;
        }
        out << indent + a->objectName() + u'|' + a->text();
        if (a->menu()) flatten(a->menu()->actions(), indent + QStringLiteral("  "), out);
    }
}

QList<QAction*> allActions(QMenuBar* bar) {
    QList<QAction*> result;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& list) {
        for (QAction* a : list) {
            result << a;
            if (a->menu()) walk(a->menu()->actions());
        }
    };
    walk(bar->actions());
    return result;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<apptest::Session> session;
    testsupport::NonBlockingShower& shower() { return session->env().shower(); }
    testsupport::ScriptedPrompter& prompter() { return session->env().prompter(); }

private slots:
    void init() {
        session = std::make_unique<apptest::Session>();
        session->createWindows();
        app::showMainWindow();
    }
    void cleanup() {
        QVERIFY(prompter().verifyAllAnswered());
        session.reset();
    }

    void mainWindowAtItsStoredPlace() {
        QVERIFY(MainForm->isVisible());
        QCOMPARE(MainForm->windowTitle(), QStringLiteral("Main Menu"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("The Quorvale"));
        QCOMPARE(MainForm->frameGeometry().topLeft(), QPoint(301, 148));
        QCOMPARE(MainForm->frameGeometry().size(), QSize(521, 360));
        QVERIFY(!MainForm->isModal());
        QVERIFY(MainForm->windowFlags() & Qt::WindowMinMaxButtonsHint);
        QCOMPARE(MainForm->palette().color(QPalette::Window), QColor(Qt::white));
        // Only the main window is on screen.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != MainForm) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void staticContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("height");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("StaticText1") << "StaticText1"
                                     << "The Quorvale" << 24 << QPoint(160, 8);
        QTest::newRow("StaticText2") << "StaticText2"
                                     << "Staff Locator and Telephone Message Pad" << 13 << QPoint(128, 40);
        QTest::newRow("Label1") << "Label1"
                                << "Corvane" << 11 << QPoint(192, 80);
        QTest::newRow("StaticText3") << "StaticText3"
                                     << "Brindlow Development Group" << 11 << QPoint(176, 224);
    }

    void staticContent() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, height);
        QFETCH(QPoint, corner);
        auto* panel = MainForm->child<controls::Panel>("Panel1");
        auto* label = MainForm->child<QLabel>(name);
        QCOMPARE(label->parentWidget(), panel);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), corner);
        QCOMPARE(label->font().pixelSize(), height);
        QCOMPARE(label->font().families().value(0), QStringLiteral("Arial Rounded MT Bold"));
        // The first of the rounded families that is installed draws it (the family may carry
        // its foundry: "URW Gothic [UKWN]").
        const QString drawn = QFontInfo(label->font()).family().section(QStringLiteral(" ["), 0, 0);
        QVERIFY2(app::roundedFontFamilies().contains(drawn), qPrintable(drawn));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        // The whole text fits.
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
        QVERIFY(label->geometry().right() < panel->width());
    }

    void panelsAndPicture() {
        auto* panel1 = MainForm->child<controls::Panel>("Panel1");
        QCOMPARE(panel1->geometry(), QRect(0, 1, 513, 304));
        QCOMPARE(panel1->fillColor(), QColor(Qt::white));
        auto* panel2 = MainForm->child<controls::Panel>("Panel2");
        QCOMPARE(panel2->parentWidget(), panel1);
        QCOMPARE(panel2->geometry(), QRect(200, 96, 113, 121));
        QCOMPARE(panel2->bevelWidth(), 5);
        QCOMPARE(panel2->fillColor(), QColor(Qt::white));
        auto* image = MainForm->child<controls::Image>("Image1");
        QCOMPARE(image->parentWidget(), panel2);
        QCOMPARE(image->geometry(), QRect(8, 8, 89, 97));
        QCOMPARE(image->pixmap().size(), QSize(86, 97));
        QVERIFY(!image->hasScaledContents());
        QCOMPARE(image->alignment() & (Qt::AlignLeft | Qt::AlignTop), Qt::AlignLeft | Qt::AlignTop);
        // The about box shows the same picture.
        auto* aboutImage = AboutForm->child<controls::Image>("Image1");
        QCOMPARE(aboutImage->pixmap().toImage(), image->pixmap().toImage());
        // A printer set-up dialog component is part of the window.
        MainForm->printerSetupDialog("PrinterSetupDialog1");
    }

    void thePictureIsA24BitJpeg() {
        QImageReader reader(QStringLiteral(":/layouts/logo.jpg"));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), QSize(86, 97));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QVERIFY(!image.isGrayscale());
        QVERIFY(!image.hasAlphaChannel());
        QCOMPARE(image.format(), QImage::Format_RGB32); // three 8-bit channels as decoded by libjpeg
    }

    void menuBarItems() {
        QMenuBar* bar = MainForm->menuBar();
        QVERIFY(bar);
        QCOMPARE(bar->objectName(), QStringLiteral("VantrelMenu"));
        QStringList items;
        flatten(bar->actions(), QString(), items);
        const QStringList expected = {
            "File1|&File",
            "  Setup1|&Employee Setup",
            "  -",
            "  ImportContacts1|&Import Contacts",
            "  -",
            "  PrintSetup1|&Print Setup",
            "  -",
            "  Exit|E&xit",
            "StaffLocator1|&Staff Locator",
            "  LocatorBoardSAetup1|&Locator Board Setup",
            "    DestinationList1|&Destination List",
            "    DepartmentList1|D&epartment List",
            "  -",
            "  LocatorBoard1|L&ocator Board",
            "  -",
            "  EmployeeCheckIn1|&Employee Check In",
            "  EmployeeCheckOut1|E&mployee Check Out",
            "  -",
            "  LocatorBoardReports1|Lo&cator Board Reports",
            "    EmployeeView1|&Employee In / Out View",
            "    DepartmentView1|&Department IN / Out View",
            "    EmployeesIN1|E&mployees IN View",
            "    EmployeesOut1|Em&ployees Out View",
            "    INOutHistory1|&IN / Out History View",
            "MessagePad1|&Message Pad",
            "  MessagePadSetup1|&Message Pad Setup",
            "    Media1|&Media Listing",
            "    MessageTypeListing1|M&essage Type Listing",
            "  -",
            "  AddMessage1|&Add Telephone Message",
            "  ReadMessages1|&Read Telephone Messages",
            "About1|&About",
        };
        QCOMPARE(items, expected);
        for (QAction* a : allActions(bar))
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
        // "About" is a command on the bar itself.
        QVERIFY(!MainForm->menuItem("About1")->menu());
    }

    void commandsShowTheirWindows_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("Employee Setup") << "Setup1"
                                        << "DSKSTAFF";
        QTest::newRow("Import Contacts") << "ImportContacts1"
                                         << "ImportForm";
        QTest::newRow("Destination List") << "DestinationList1"
                                          << "DestinationForm";
        QTest::newRow("Department List") << "DepartmentList1"
                                         << "DeptForm";
        QTest::newRow("Locator Board") << "LocatorBoard1"
                                       << "UpdateForm";
        QTest::newRow("Employee Check In") << "EmployeeCheckIn1"
                                           << "Form12";
        QTest::newRow("Employee Check Out") << "EmployeeCheckOut1"
                                            << "CheckInForm";
        QTest::newRow("Media Listing") << "Media1"
                                       << "MediaForm";
        QTest::newRow("Message Type Listing") << "MessageTypeListing1"
                                              << "MsgTypeForm";
        QTest::newRow("Add Telephone Message") << "AddMessage1"
                                               << "AddMsgForm";
        QTest::newRow("Read Telephone Messages") << "ReadMessages1"
                                                 << "MsgForm";
        QTest::newRow("About") << "About1"
                               << "AboutForm";
        // The board reports open the report engine's own windows: tests/reports.
    }

    void commandsShowTheirWindows() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        MainForm->menuItem(item)->trigger();
        if (window.isEmpty()) {
            QVERIFY(shower().shown().isEmpty());
            return;
        }
        QCOMPARE(shower().shown(), QStringList{window});
        controls::Form* shown = apptest::instance(window);
        QCOMPARE(shower().lastShown(), shown);
        QVERIFY(shown->isVisible());
        QVERIFY(MainForm->isVisible());
        shown->Close();
        QVERIFY(!shown->isVisible());
        QVERIFY(!apptest::instance("EmployeeForm")->isVisible());
    }

    void aWindowShownAgainIsTheSameWindowAsLeft() {
        data::Table& t = DestinationForm->table("Table1");
        QVERIFY(t.RecordCount() > 1);
        MainForm->menuItem("DestinationList1")->trigger();
        t.Last();
        const auto key = t.CurrentKey();
        DestinationForm->Close();
        MainForm->menuItem("DestinationList1")->trigger();
        QCOMPARE(shower().shown(), (QStringList{"DestinationForm", "DestinationForm"}));
        QCOMPARE(shower().lastShown(), static_cast<controls::Form*>(DestinationForm));
        QCOMPARE(t.CurrentKey(), key);
        DestinationForm->Close();
    }

    void keyboardReachesTheStaffLocatorMenu() {
        MainForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
        // Alt+S opens "Staff Locator", where E is "Employee Check In" ...
        QTest::keyClick(MainForm, Qt::Key_S, Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QStringLiteral("StaffLocator1"));
        QTest::keyClick(popup, Qt::Key_E);
        QCOMPARE(shower().shown(), QStringList{"Form12"});
        apptest::instance("Form12")->Close();
        // ... and M is "Employee Check Out".
        MainForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
        QTest::keyClick(MainForm, Qt::Key_S, Qt::AltModifier);
        popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QTest::keyClick(popup, Qt::Key_M);
        QCOMPARE(shower().shown(), (QStringList{"Form12", "CheckInForm"}));
        apptest::instance("CheckInForm")->Close();
    }

    void printSetup_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void printSetup() {
        QFETCH(bool, ok);
        QPrinter& current = controls::currentPrinter();
        current.setPageOrientation(QPageLayout::Portrait);
        int shown = 0;
        QPrinter* offered = nullptr;
        controls::setPrinterDialogRunner([&](QPrinter& printer) {
            ++shown;
            offered = &printer;
            if (!ok) return false; // the dialog leaves the printer alone when cancelled
            printer.setPageOrientation(QPageLayout::Landscape);
            return true;
        });
        MainForm->menuItem("PrintSetup1")->trigger();
        QCOMPARE(shown, 1);
        // The dialog works on the program's current printer, preselected.
        QCOMPARE(offered, &current);
        QCOMPARE(current.pageLayout().orientation(), ok ? QPageLayout::Landscape : QPageLayout::Portrait);
        // No window and no question.
        QVERIFY(shower().shown().isEmpty());
        current.setPageOrientation(QPageLayout::Portrait);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
