// What the check-out and the check-in window do alike, over both windows: the action
// answered No, Save with nothing pending, Main Menu answered other than Yes, the destination
// list, the navigator's Cancel, a move that stores without a history row, the name picker's
// typing search and its click while a masked box holds an incomplete entry, the navigator as
// a tab stop, the tab orders and the hidden boxes. The real windows on a fresh database,
// driven through their controls.
#include "locator/checkinform.h"
#include "locator/form12.h"
#include "tests/support/locatortest.h"
#include <QPushButton>
#include <QtTest>

using namespace locatortest;

namespace {

// Where the two windows differ only in names and texts.
struct Window {
    const char* layout;
    const char* action;   // "Check Out" or "Check In"
    const char* question; // its question
    const char* save;
    const char* mainMenu;
    const char* destinations;
    const char* log; // the table that takes the history rows
    // Abbott's status as stored when the window opens, and as the action sets it.
    const char* storedStatus;
    const char* actionStatus;
};

const Window checkOutWindow = {"CheckInForm", "Button344", "Are you sure you want to Check Out?",
                               "Button1",     "Button2",   "Button3",
                               "Table1",      "IN",        "Out"};
const Window checkInWindow = {"Form12",  "BitBttn4", "Are you sure you want to Check In?",
                              "Button5", "Button3",  "Button1",
                              "Table5",  "Out",      "IN"};

const Window& describe(const QString& layout) {
    return layout == QLatin1String(checkOutWindow.layout) ? checkOutWindow : checkInWindow;
}

// The whereabouts of a row, as the window's table holds them or as stored (empty for NULL).
const QStringList whereaboutsFields = {"Status",      "Destination", "Date_Left",    "Time_Left",
                                       "Return_Date", "Return_Time", "Contact_Phone"};

} // namespace

class TestBothWindows : public QObject, public WindowTest<controls::Form> {
    Q_OBJECT

    const Window* win = nullptr;

    // The check-out window opens on Abbott in the office, the check-in window on Abbott out.
    void open(const QString& layout) {
        win = &describe(layout);
        openDesk();
        if (win == &checkInWindow)
            desk->db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Site Visit', "
                            "Date_Left = '3/10/26', Time_Left = '09:30', Return_Date = '3/12/26', "
                            "Return_Time = '16:45', Contact_Phone = '(555)123-4567' "
                            "WHERE Name = 'Abbott, Helen'");
        if (win == &checkOutWindow)
            form = std::make_unique<TCheckInForm>();
        else
            form = std::make_unique<TForm12>();
        destinations = std::make_unique<TDestinationForm>();
        QVERIFY(showActive(*form));
        QCOMPARE(name(), QString("Abbott, Helen"));
    }
    QString name() { return form->field("StaffTableName").AsString(); }
    data::Table& staff() { return form->table("StaffTable"); }

    void act(ModalResult answer = ModalResult::Yes) {
        desk->prompter().expect(win->question, MsgDlgType::Confirmation, MsgButtons::YesNo, answer);
        click(form->child<QPushButton>(win->action));
    }
    // What the field column and the destination box show.
    QStringList boxes() {
        QStringList texts;
        for (const char* box :
             {"EditNAME", "EditDateLeft", "EditTIMELEFT", "DBEdit1", "EditTIMERET", "EditATEXT"})
            texts << form->child<DBEdit>(box)->text();
        return texts << form->child<DBLookupCombo>("DBLookupCombo1")->text();
    }
    // What posting the row would store: its fields, but the destination as its box shows it
    // (a look-up set by code writes its text only when the row is posted).
    QStringList pending() {
        QStringList values;
        for (const QString& f : whereaboutsFields)
            values << form->field("StaffTable" + f).AsString();
        values[whereaboutsFields.indexOf("Destination")] =
            form->child<DBLookupCombo>("DBLookupCombo1")->text();
        return values;
    }
    QStringList stored(const QString& employee = "Abbott, Helen") {
        const QVariantMap row = desk->staff(employee);
        QStringList values;
        for (const QString& f : whereaboutsFields)
            values << row.value(f).toString();
        return values;
    }

    static void windows() {
        QTest::addColumn<QString>("window");
        QTest::newRow("check-out") << "CheckInForm";
        QTest::newRow("check-in") << "Form12";
    }

private slots:
    void cleanup() {
        if (desk) QVERIFY(closeDesk());
        win = nullptr;
    }

    void actionAnsweredNoChangesNothing_data() { windows(); }
    void actionAnsweredNoChangesNothing() {
        QFETCH(QString, window);
        open(window);
        const QStringList shown = boxes();
        QCOMPARE(pending(), stored());
        act(ModalResult::No);
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(form->field("StaffTableStatus").AsString(), QString(win->storedStatus));
        QCOMPARE(pending(), stored());
        QCOMPARE(boxes(), shown);
    }

    // Save answered Yes with no row in edit: the layer's error, the window stays open, no
    // history row.
    void saveWithNothingPendingReportsTheTableNotInEdit_data() { windows(); }
    void saveWithNothingPendingReportsTheTableNotInEdit() {
        QFETCH(QString, window);
        open(window);
        verifySaveWithNothingPending(win->save, win->log);
    }

    void mainMenuAnsweredOtherThanYesStays_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("check-out, No") << "CheckInForm" << ModalResult::No;
        QTest::newRow("check-out, Cancel") << "CheckInForm" << ModalResult::Cancel;
        QTest::newRow("check-in, No") << "Form12" << ModalResult::No;
        QTest::newRow("check-in, Cancel") << "Form12" << ModalResult::Cancel;
    }
    void mainMenuAnsweredOtherThanYesStays() {
        QFETCH(QString, window);
        QFETCH(ModalResult, answer);
        open(window);
        act();
        desk->prompter().expect("Return to Main Menu?", MsgDlgType::Confirmation, MsgButtons::YesNoCancel,
                                answer);
        click(form->child<QPushButton>(win->mainMenu));
        QVERIFY(form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Edit);
    }

    // The destination list comes up; closed again, the window is as it was, the change
    // still pending and nothing stored.
    void destinationsShowsTheListAndKeepsTheChangePending_data() { windows(); }
    void destinationsShowsTheListAndKeepsTheChangePending() {
        QFETCH(QString, window);
        open(window);
        const QStringList before = stored();
        act();
        const QStringList shown = boxes();
        click(form->child<QPushButton>(win->destinations));
        QCOMPARE(desk->shower().shown().last(), QString("DestinationForm"));
        QVERIFY(destinations->isVisible());
        destinations->Close();
        QVERIFY(form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(form->field("StaffTableStatus").AsString(), QString(win->actionStatus));
        QCOMPARE(boxes(), shown);
        QCOMPARE(stored(), before);
        QCOMPARE(desk->logCount(), 0);
    }

    void navigatorCancelDropsTheChange_data() { windows(); }
    void navigatorCancelDropsTheChange() {
        QFETCH(QString, window);
        open(window);
        const QStringList before = stored();
        const QStringList shown = boxes();
        act();
        press(form->child<DBNavigator>("DBNavigator1"), DBNavigator::Cancel);
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(form->field("StaffTableStatus").AsString(), QString(win->storedStatus));
        QCOMPARE(boxes(), shown);
        QCOMPARE(pending(), before);
        QCOMPARE(stored(), before);
    }

    // A move stores the pending change through the browse check, without a history row;
    // no name changes.
    void moveStoresWithoutHistory_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("byPicker");
        QTest::newRow("check-out, navigator Next") << "CheckInForm" << false;
        QTest::newRow("check-out, name picker") << "CheckInForm" << true;
        QTest::newRow("check-in, navigator Next") << "Form12" << false;
        QTest::newRow("check-in, name picker") << "Form12" << true;
    }
    void moveStoresWithoutHistory() {
        QFETCH(QString, window);
        QFETCH(bool, byPicker);
        open(window);
        act();
        const QStringList values = pending();
        if (byPicker)
            QVERIFY(pickFromList(form->child<DBLookupComboBox>("DBLookupComboBox1"), "Carter, Ann"));
        else
            press(form->child<DBNavigator>("DBNavigator1"), DBNavigator::Next);
        const QString expected = byPicker ? "Carter, Ann" : "Baker, Tom";
        QCOMPARE(name(), expected);
        QCOMPARE(form->child<DBEdit>("EditNAME")->text(), expected);
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString(win->actionStatus));
        QCOMPARE(stored(), values);
        QCOMPARE(desk->logCount(), 0);
        QCOMPARE(desk->db().scalar("SELECT COUNT(*) FROM Staff").toInt(), 3);
    }

    // Typing into the closed picker: the first name that begins with the letters, in any
    // case; a letter that finds nothing is not added.
    void typingIntoThePickerSearchesByName_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        for (const char* window : {"CheckInForm", "Form12"}) {
            const QString w = window == QLatin1String("CheckInForm") ? "check-out" : "check-in";
            QTest::addRow("%s, lower case", qPrintable(w)) << window << "ba"
                                                           << "Baker, Tom";
            QTest::addRow("%s, upper case", qPrintable(w)) << window << "CAR"
                                                           << "Carter, Ann";
            QTest::addRow("%s, mixed case", qPrintable(w)) << window << "aBb"
                                                           << "Abbott, Helen";
            QTest::addRow("%s, upper case second", qPrintable(w)) << window << "bA"
                                                                  << "Baker, Tom";
            QTest::addRow("%s, letter that finds nothing", qPrintable(w)) << window << "cz"
                                                                          << "Carter, Ann";
        }
    }
    void typingIntoThePickerSearchesByName() {
        QFETCH(QString, window);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        open(window);
        press(form->child<DBNavigator>("DBNavigator1"), DBNavigator::Next); // start elsewhere
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        picker->setFocus();
        QTest::keyClicks(picker, keys);
        QCOMPARE(name(), expected);
        QCOMPARE(picker->text(), expected);
    }

    // More than 2 seconds without a key start a new search.
    void pauseInTypingStartsANewSearch_data() { windows(); }
    void pauseInTypingStartsANewSearch() {
        QFETCH(QString, window);
        open(window);
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        picker->setFocus();
        QTest::keyClicks(picker, "b");
        QCOMPARE(name(), QString("Baker, Tom"));
        testsupport::setFixedNow(testsupport::fixedNow().addMSecs(1500));
        QTest::keyClicks(picker, "a"); // "ba"
        QCOMPARE(name(), QString("Baker, Tom"));
        testsupport::setFixedNow(testsupport::fixedNow().addMSecs(2500));
        QTest::keyClicks(picker, "c"); // a new search: "c"
        QCOMPARE(name(), QString("Carter, Ann"));
        QCOMPARE(picker->searchText(), QString("c"));
    }

    // Check-out: name, destination, the five boxes, the picker, the navigator, the buttons
    // "Main Menu", "Check Out", "Destinations", "Save", then the calendar. Check-in: name,
    // destination, return time, contact phone, time left, the picker, the navigator, the
    // four actions top to bottom, the date picker, the return date, the date left.
    void tabOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("check-out") << "CheckInForm"
                                   << QStringList{"EditNAME",     "DBLookupCombo1",    "EditDateLeft",
                                                  "EditTIMELEFT", "DBEdit1",           "EditTIMERET",
                                                  "EditATEXT",    "DBLookupComboBox1", "DBNavigator1",
                                                  "Button2",      "Button344",         "Button3",
                                                  "Button1",      "MonthCalendar1",    "EditNAME"};
        QTest::newRow("check-in") << "Form12"
                                  << QStringList{"EditNAME",     "DBLookupCombo1", "EditTIMERET",
                                                 "EditATEXT",    "EditTIMELEFT",   "DBLookupComboBox1",
                                                 "DBNavigator1", "BitBttn4",       "Button1",
                                                 "Button5",      "Button3",        "DateTimePicker1",
                                                 "DBEdit1",      "EditDateLeft",   "EditNAME"};
    }
    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        open(window);
        QCOMPARE(walkTabOrder(form.get(), order), order);
    }

    // The status box and the two scratch boxes of the Save: hidden, and bound as stored.
    void hiddenBoxes_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("check-out, StatusDBEdit1") << "CheckInForm"
                                                  << "StatusDBEdit1"
                                                  << "DataSource1"
                                                  << "Status";
        QTest::newRow("check-out, DBEdit2") << "CheckInForm"
                                            << "DBEdit2"
                                            << "DataSource3"
                                            << "Transaction_Date";
        QTest::newRow("check-out, DBEdit3") << "CheckInForm"
                                            << "DBEdit3"
                                            << "DataSource3"
                                            << "Transaction_Time";
        QTest::newRow("check-in, StatusDBEdit1") << "Form12"
                                                 << "StatusDBEdit1"
                                                 << "DataSource1"
                                                 << "Status";
        QTest::newRow("check-in, DBEdit2") << "Form12"
                                           << "DBEdit2"
                                           << "DataSource3"
                                           << "Transaction_Time";
        QTest::newRow("check-in, DBEdit3") << "Form12"
                                           << "DBEdit3"
                                           << "DataSource3"
                                           << "Transaction_Time";
    }
    void hiddenBoxes() {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, source);
        QFETCH(QString, fieldName);
        open(window);
        auto* edit = form->child<DBEdit>(box);
        QVERIFY(!edit->isVisible());
        QCOMPARE(edit->dataSource(), &form->dataSource(source));
        QCOMPARE(edit->dataField(), fieldName);
        if (box == "StatusDBEdit1") QVERIFY(edit->ReadOnly());
    }

    // Tab reaches the navigator; Left and Right move between its shown buttons, Space
    // presses the one in focus.
    void navigatorIsATabStop_data() { windows(); }
    void navigatorIsATabStop() {
        QFETCH(QString, window);
        open(window);
        auto* nav = form->child<DBNavigator>("DBNavigator1");
        auto* picker = form->child<QWidget>("DBLookupComboBox1");
        picker->setFocus(Qt::TabFocusReason);
        testsupport::key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), nav);
        QCOMPARE(nav->focusedButton(), DBNavigator::First);
        testsupport::key(Qt::Key_Left); // already the first
        QCOMPARE(nav->focusedButton(), DBNavigator::First);
        testsupport::key(Qt::Key_Right);
        testsupport::key(Qt::Key_Right);
        QCOMPARE(nav->focusedButton(), DBNavigator::Next);
        testsupport::key(Qt::Key_Space);
        QCOMPARE(name(), QString("Baker, Tom"));
        QCOMPARE(QApplication::focusWidget(), nav);
        // Right skips the hidden buttons and stops at the last shown one.
        for (int i = 0; i < 12; ++i)
            testsupport::key(Qt::Key_Right);
        QCOMPARE(nav->focusedButton(), DBNavigator::Refresh);
        testsupport::key(Qt::Key_Left);
        QCOMPARE(nav->focusedButton(), DBNavigator::Cancel);
        testsupport::key(Qt::Key_Left);
        QCOMPARE(nav->focusedButton(), win == &checkOutWindow ? DBNavigator::Edit : DBNavigator::Last);
        // Shift+Tab goes back to the picker; a click on a button leaves the focus there.
        testsupport::key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), picker);
        press(nav, DBNavigator::Prior);
        QCOMPARE(name(), QString("Abbott, Helen"));
        QCOMPARE(QApplication::focusWidget(), picker);
    }

    // A click on the name picker while a time box holds an incomplete entry: one refusal,
    // the list stays shut, the focus goes back to the box and the table stays where it was.
    void pickerClickedWhileAMaskedBoxIsIncomplete_data() { windows(); }
    void pickerClickedWhileAMaskedBoxIsIncomplete() {
        QFETCH(QString, window);
        open(window);
        auto* time = form->child<DBEdit>("EditTIMELEFT");
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        typeInto(time, "9");
        desk->prompter().expect(invalidInput(), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        QTest::mouseClick(picker, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(desk->prompter().asked(), QStringList{invalidInput()});
        QVERIFY(!picker->view()->isVisible());
        QCOMPARE(QApplication::focusWidget(), time);
        QCOMPARE(name(), QString("Abbott, Helen"));
        QCOMPARE(staff().State(), DataSetState::Edit);
        // Esc gives the box its value back; then the picker opens and moves the table.
        QTest::keyClick(time, Qt::Key_Escape);
        QVERIFY(pickFromList(picker, "Carter, Ann"));
        QCOMPARE(name(), QString("Carter, Ann"));
        QCOMPARE(picker->text(), QString("Carter, Ann"));
    }
};

QTEST_MAIN(TestBothWindows)
#include "tst_bothwindows.moc"
