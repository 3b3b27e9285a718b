// The locator screen: its stored layout, the empty start of every showing, the nearest-name
// search, the read-only boxes and navigator, and the boards shown over it.
#include "boardtest.h"
#include "controls/plaincontrols.h"
#include "data/table.h"
#include "locator/locatorform.h"
#include "locator/updateform.h"
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using controls::DBEdit;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

class TestLocatorScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<boardtest::Desk> desk;

    QLineEdit* edit1() { return UpdateForm->child<QLineEdit>("Edit1"); }
    QPushButton* button(const char* name) { return UpdateForm->child<QPushButton>(name); }
    DBEdit* box(const char* name) { return UpdateForm->child<DBEdit>(name); }
    DBNavigator* navigator() { return UpdateForm->child<DBNavigator>("DBNavigator"); }
    data::Table& staff() { return UpdateForm->table("StaffTable"); }
    QString shownName() { return box("EditNAME")->text(); }

    void search(const QString& text) {
        edit1()->setText(text);
        boardtest::click(button("Button1"));
    }
    QStringList enabledNavigatorButtons() {
        QStringList on;
        for (DBNavigator::Button b : navigator()->visibleButtons())
            if (navigator()->button(b)->isEnabled()) on << DBNavigator::buttonName(b);
        return on;
    }

private slots:
    void init() {
        desk = std::make_unique<boardtest::Desk>();
        auto& db = desk->db();
        db.addStaff("Smythe, Bo", {{"Department", "Sales"}});
        db.addStaff("Abbott, Helen", {{"Department", "Accounts"}});
        db.addStaff("Smith, Ann", {{"Status", "Out"},
                                   {"Destination", "Harbour Office"},
                                   {"Date_Left", "03/11/26"},
                                   {"Time_Left", "9:30"},
                                   {"Return_Date", "03/12/26"},
                                   {"Return_Time", "14:00"},
                                   {"Contact_Phone", "(555)123-4567"}});
        db.addStaff("Smithson-Whitfield, Alexa");
        db.addStaff("Zeller, Max");
        db.addStaff("de Vries, Anna");
        desk->createWindows();
    }
    void cleanup() {
        QVERIFY(desk->prompter().verifyAllAnswered());
        desk.reset();
    }

    void layoutAsStored() {
        QCOMPARE(UpdateForm->windowTitle(), QString("Staff Locator"));
        const QStringList labels = {"Last Name, First Name",
                                    "Were Am I Going",
                                    "Date Left",
                                    "Time Left ",
                                    "Scheduled Return Date",
                                    "Scheduled Return Time",
                                    "Contact Phone Number",
                                    "Status"};
        const QStringList boxes = {"EditNAME",    "GoingEdit",   "DBEdit1",   "EditTIMELEFT",
                                   "EditDateRet", "EditTIMERET", "EditATEXT", "StatusDBEdit1"};
        const QStringList fields = {"Name",        "Destination", "Date_Left",     "Time_Left",
                                    "Return_Date", "Return_Time", "Contact_Phone", "Status"};
        const QList<int> stored = {0, 0, 8, 5, 8, 5, 0, 0};
        const QList<int> effective = {25, 25, 8, 5, 8, 5, 13, 3};
        for (int i = 0; i < boxes.size(); ++i) {
            auto* b = UpdateForm->child<DBEdit>(boxes[i]);
            QCOMPARE(b->dataField(), fields[i]);
            QCOMPARE(b->dataSource(), &UpdateForm->dataSource("DataSource1"));
            QVERIFY2(b->ReadOnly(), qPrintable(boxes[i]));
            QCOMPARE(b->maxChars(), stored[i]);
            QCOMPARE(b->maxLength(), effective[i]);
            // Each box has its label beside it, on the same line and to its left.
            QLabel* label = nullptr;
            for (QLabel* l : UpdateForm->findChildren<QLabel*>())
                if (l->text() == labels[i]) label = l;
            QVERIFY2(label, qPrintable(labels[i]));
            QVERIFY(label->alignment() & Qt::AlignRight);
            QVERIFY(label->font().bold());
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            const QRect lr(label->mapTo(UpdateForm, QPoint(0, 0)), label->size());
            const QRect br(b->mapTo(UpdateForm, QPoint(0, 0)), b->size());
            QVERIFY(lr.right() < br.left());
            QVERIFY(qAbs(lr.center().y() - br.center().y()) <= 4);
        }
        // Masks on the four date and time fields only.
        QCOMPARE(UpdateForm->field("StaffTableDate_Left").EditMaskText(), QString("!99/99/00;1;_"));
        QCOMPARE(UpdateForm->field("StaffTableReturn_Date").EditMaskText(), QString("!99/99/00;1;_"));
        QCOMPARE(UpdateForm->field("StaffTableTime_Left").EditMaskText(), QString("!90:00;1;_"));
        QCOMPARE(UpdateForm->field("StaffTableReturn_Time").EditMaskText(), QString("!90:00;1;_"));
        int masked = 0;
        for (const data::Field* f : staff().fields())
            masked += !f->EditMaskText().isEmpty();
        QCOMPARE(masked, 4);
        QCOMPARE(staff().fields().size(), 25);
        QVERIFY(staff().AutoRefresh());
        QCOMPARE(staff().TableName(), QString("Staff"));
        QCOMPARE(staff().IndexFieldNames(), QString("Name"));

        QStringList groups;
        for (QGroupBox* g : UpdateForm->findChildren<QGroupBox*>())
            groups << g->title();
        QCOMPARE(groups, (QStringList{"Employee Search", "Data Navigator"}));
        auto* searchGroup = UpdateForm->findChildren<QGroupBox*>().first();
        QVERIFY(searchGroup->isAncestorOf(edit1()));
        QStringList prompts;
        for (QLabel* l : searchGroup->findChildren<QLabel*>())
            prompts << l->text();
        QCOMPARE(prompts, (QStringList{"Enter Employee Last Name Here:", "(Then press the Search Button)"}));
        QCOMPARE(edit1()->toolTip(),
                 QString("Enter employee last name here then, click the search button..."));
        QCOMPARE(button("Button1")->text(), QString("&Search"));
        QCOMPARE(button("Button1")->toolTip(), QString("Click this button to locate the employee record..."));
        const QStringList boards = {"Alphabetical View", "Department View", "Employees IN Office",
                                    "Employees Out of Office"};
        for (int i = 0; i < 4; ++i) {
            QPushButton* b = button(qPrintable(QString("Button%1").arg(i + 2)));
            QCOMPARE(b->text(), boards[i]);
            QVERIFY(searchGroup->isAncestorOf(b));
        }
        // Two rows of two.
        QCOMPARE(button("Button2")->y(), button("Button3")->y());
        QCOMPARE(button("Button4")->y(), button("Button5")->y());
        QVERIFY(button("Button4")->y() > button("Button2")->y());

        auto* navGroup = UpdateForm->findChildren<QGroupBox*>().last();
        QVERIFY(navGroup->isAncestorOf(navigator()));
        QCOMPARE(navigator()->visibleButtons(),
                 (QList<DBNavigator::Button>{DBNavigator::First, DBNavigator::Prior, DBNavigator::Next,
                                             DBNavigator::Last, DBNavigator::Refresh}));
        QStringList hints;
        for (DBNavigator::Button b : navigator()->visibleButtons())
            hints << navigator()->button(b)->toolTip();
        QCOMPARE(hints,
                 (QStringList{"First record", "Prior record", "Next record", "Last record", "Refresh data"}));
        auto* close = UpdateForm->child<controls::BitBtn>("BitBtn1");
        QVERIFY(navGroup->isAncestorOf(close));
        QVERIFY(close->isCloseKind());
        QCOMPARE(close->text(), QString("&Close"));
        QCOMPARE(close->toolTip(), QString("Click this button to close screen..."));
        for (QPushButton* b : UpdateForm->findChildren<QPushButton*>()) {
            QVERIFY2(!b->isDefault(), qPrintable(b->objectName()));
            QVERIFY2(!b->property("cancel").toBool(), qPrintable(b->objectName()));
        }

        // Centred on the screen.
        boardtest::show(UpdateForm);
        const QRect screen = UpdateForm->screen()->availableGeometry();
        QVERIFY(qAbs(UpdateForm->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(UpdateForm->frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void createdOpenOnTheFirstEmployee() {
        // Open from start-up, in name order; nothing is shown yet.
        QVERIFY(staff().Active());
        QCOMPARE(staff().FieldByName("Name")->AsString(), QString("Abbott, Helen"));
        QVERIFY(!UpdateForm->isVisible());
    }

    void showingStartsEmpty() {
        boardtest::show(UpdateForm);
        QVERIFY(UpdateForm->isVisible());
        QVERIFY(!staff().Active());
        for (DBEdit* b : UpdateForm->findChildren<DBEdit*>())
            QVERIFY2(b->text().trimmed().isEmpty(), qPrintable(b->objectName()));
        QCOMPARE(enabledNavigatorButtons(), QStringList());
        QCOMPARE(QApplication::focusWidget(), edit1());
    }

    void search_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");
        // Names on file, in the case-sensitive order: Abbott, Helen < Smith, Ann <
        // Smithson-Whitfield, Alexa < Smythe, Bo < Zeller, Max < de Vries, Anna.
        QTest::newRow("empty text: the first employee") << ""
                                                        << "Abbott, Helen";
        QTest::newRow("a beginning") << "Sm"
                                     << "Smith, Ann";
        QTest::newRow("between two names: the later") << "Smj"
                                                      << "Smythe, Bo";
        QTest::newRow("a whole name") << "Smythe, Bo"
                                      << "Smythe, Bo";
        QTest::newRow("beyond the last: the last") << "zz"
                                                   << "de Vries, Anna";
        QTest::newRow("capitals sort before small letters") << "SMZ"
                                                            << "Smith, Ann";
        QTest::newRow("small letters sort after every capital") << "smith"
                                                                << "de Vries, Anna";
        QTest::newRow("nothing after the 25th character") << "Smithson-Whitfield, AlexaZZZ"
                                                          << "Smithson-Whitfield, Alexa";
        QTest::newRow("a blank sorts before letters") << "Smith, "
                                                      << "Smith, Ann";
    }
    void search() {
        QFETCH(QString, text);
        QFETCH(QString, found);
        boardtest::show(UpdateForm);
        search(text);
        QCOMPARE(shownName(), found);
        QCOMPARE(staff().IndexName(), QString("NAMEIndex"));
        QCOMPARE(staff().State(), data::DataSetState::Browse);
        // No message, whatever was found.
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void searchShowsTheEmployeesPresence() {
        boardtest::show(UpdateForm);
        search("Smith,");
        QCOMPARE(shownName(), QString("Smith, Ann"));
        QCOMPARE(box("GoingEdit")->text(), QString("Harbour Office"));
        QCOMPARE(box("DBEdit1")->text(), QString("03/11/26"));
        QCOMPARE(box("EditTIMELEFT")->text(), QString(" 9:30"));
        QCOMPARE(box("EditDateRet")->text(), QString("03/12/26"));
        QCOMPARE(box("EditTIMERET")->text(), QString("14:00"));
        QCOMPARE(box("EditATEXT")->text(), QString("(555)123-4567"));
        QCOMPARE(box("StatusDBEdit1")->text(), QString("Out"));
        // The navigator now moves through every employee in name order.
        QCOMPARE(enabledNavigatorButtons(), (QStringList{"First", "Prior", "Next", "Last", "Refresh"}));
        QTest::mouseClick(navigator()->button(DBNavigator::First), Qt::LeftButton);
        QStringList order{shownName()};
        while (navigator()->button(DBNavigator::Next)->isEnabled()) {
            QTest::mouseClick(navigator()->button(DBNavigator::Next), Qt::LeftButton);
            if (shownName() != order.last()) order << shownName();
        }
        QCOMPARE(order, (QStringList{"Abbott, Helen", "Smith, Ann", "Smithson-Whitfield, Alexa", "Smythe, Bo",
                                     "Zeller, Max", "de Vries, Anna"}));
    }

    void searchReadsTheTableAfresh() {
        // A change stored elsewhere shows at the next search.
        boardtest::show(UpdateForm);
        search("Zeller");
        desk->db().exec(
            "UPDATE Staff SET Status = 'Out', Destination = 'Airport' WHERE Name = 'Zeller, Max'");
        search("Zeller");
        QCOMPARE(box("GoingEdit")->text(), QString("Airport"));
        QCOMPARE(box("StatusDBEdit1")->text(), QString("Out"));
    }

    void secondShowingIsBlankAgainAndKeepsTheText() {
        boardtest::show(UpdateForm);
        search("Smy");
        QCOMPARE(shownName(), QString("Smythe, Bo"));
        boardtest::click(UpdateForm->child<controls::BitBtn>("BitBtn1"));
        QVERIFY(!UpdateForm->isVisible());
        // Hidden, the table stays on its row until the next showing.
        QVERIFY(staff().Active());
        QCOMPARE(staff().FieldByName("Name")->AsString(), QString("Smythe, Bo"));

        boardtest::show(UpdateForm);
        QVERIFY(!staff().Active());
        QCOMPARE(shownName(), QString());
        QCOMPARE(box("StatusDBEdit1")->text(), QString());
        QCOMPARE(enabledNavigatorButtons(), QStringList());
        QCOMPARE(edit1()->text(), QString("Smy"));
        QCOMPARE(QApplication::focusWidget(), edit1());
        // The index chosen by the first search stays.
        QCOMPARE(staff().IndexName(), QString("NAMEIndex"));
        boardtest::click(button("Button1"));
        QCOMPARE(shownName(), QString("Smythe, Bo"));
    }

    void enterSearchesNothingAndEscDoesNotClose() {
        boardtest::show(UpdateForm);
        edit1()->setFocus();
        QTest::keyClicks(edit1(), "Smy");
        QTest::keyClick(edit1(), Qt::Key_Return);
        QVERIFY(!staff().Active());
        QTest::keyClick(edit1(), Qt::Key_Escape);
        QVERIFY(UpdateForm->isVisible());
        // "&Search" is reached by Alt+S, the one mnemonic of the window on that letter (the
        // button presses itself a moment later, so only the binding is checked here).
        QCOMPARE(button("Button1")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
        for (QAbstractButton* b : UpdateForm->findChildren<QAbstractButton*>())
            if (b != button("Button1"))
                QVERIFY2(b->shortcut() != QKeySequence(Qt::ALT | Qt::Key_S), qPrintable(b->objectName()));
    }

    void boxesTakeNoTyping() {
        boardtest::show(UpdateForm);
        search("Abb");
        for (DBEdit* b : UpdateForm->findChildren<DBEdit*>()) {
            const QString before = b->text();
            b->setFocus();
            QTest::keyClicks(b, "X9");
            QTest::keyClick(b, Qt::Key_Backspace);
            QCOMPARE(b->text(), before);
        }
        QCOMPARE(staff().State(), data::DataSetState::Browse);
        QCOMPARE(desk->db().scalar("SELECT Status FROM Staff WHERE Name = 'Abbott, Helen'").toString(),
                 QString("IN"));
    }

    void aBoardOpenedAndClosedLeavesTheScreenAsItWas() {
        boardtest::show(UpdateForm);
        search("Smj");
        QCOMPARE(shownName(), QString("Smythe, Bo"));
        // Stored meanwhile: the screen does not re-read when the board closes.
        desk->db().exec("UPDATE Staff SET Destination = 'Airport' WHERE Name = 'Smythe, Bo'");
        boardtest::click(button("Button2"));
        QCOMPARE(desk->env().shower().shown(), (QStringList{"UpdateForm", "LocatorForm"}));
        QVERIFY(LocatorForm->isVisible());
        boardtest::click(LocatorForm->child<controls::BitBtn>("BitBtn1"));
        QVERIFY(!LocatorForm->isVisible());
        testsupport::activate(UpdateForm);
        QVERIFY(UpdateForm->isVisible());
        QCOMPARE(UpdateForm->timesShown(), 1);
        QVERIFY(staff().Active());
        QCOMPARE(shownName(), QString("Smythe, Bo"));
        QCOMPARE(box("GoingEdit")->text(), QString("IN Office"));
        QCOMPARE(edit1()->text(), QString("Smj"));
    }

    void eachButtonShowsItsBoard_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("board");
        QTest::newRow("alphabetical") << "Button2"
                                      << "LocatorForm";
        QTest::newRow("department") << "Button3"
                                    << "LocatorForm2";
        QTest::newRow("in office") << "Button4"
                                   << "InOfficeForm";
        QTest::newRow("out of office") << "Button5"
                                       << "EmployeeOutForm";
    }
    void eachButtonShowsItsBoard() {
        QFETCH(QString, button);
        QFETCH(QString, board);
        boardtest::show(UpdateForm);
        boardtest::click(this->button(qPrintable(button)));
        QCOMPARE(desk->env().shower().shown(), (QStringList{"UpdateForm", board}));
        auto* shown = desk->env().shower().lastShown();
        QVERIFY(shown && shown->isVisible());
        QVERIFY(shown->isModal());
        // The screen handed nothing over: its own table is still closed.
        QVERIFY(!staff().Active());
    }

    void aMissingNameIndexIsReportedAndTheScreenStaysEmpty() {
        boardtest::show(UpdateForm);
        desk->db().dropIndex("NAMEIndex");
        desk->prompter().expectMatching(QRegularExpression(".*NAMEIndex.*"), MsgDlgType::Error,
                                        MsgButtons::OK, ModalResult::OK);
        search("Smith");
        QVERIFY(desk->prompter().verifyAllAnswered());
        QVERIFY(UpdateForm->isVisible());
        QVERIFY(!staff().Active());
        QCOMPARE(shownName(), QString());
    }
};

QTEST_MAIN(TestLocatorScreen)
#include "tst_locatorscreen.moc"
