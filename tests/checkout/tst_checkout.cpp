// Checking an employee out: the question, the values the window fills in, the Save that
// stores the employee's row and appends one history row together, and every way of leaving
// a check-out unsaved. The real window on a fresh database, driven through its controls.
// What the window does as the check-in window does is tested over both, in tst_bothwindows.
#include "locator/checkinform.h"
#include "locator/destinationform.h"
#include "tests/support/locatortest.h"
#include "data/formatsettings.h"
#include <QPushButton>
#include <QtTest>

using namespace locatortest;

class TestCheckOut : public QObject, public WindowTest<TCheckInForm> {
    Q_OBJECT

    data::Table& staff() { return form->table("StaffTable"); }
    data::Table& log() { return form->table("Table1"); }
    // What the window reads from a box (a masked box: literals, blanks in unfilled places).
    QString shown(const char* box) { return form->child<DBEdit>(box)->text(); }
    QString value(const char* fieldComponent) { return form->field(fieldComponent).AsString(); }

    void checkOut(ModalResult answer = ModalResult::Yes) {
        desk->prompter().expect("Are you sure you want to Check Out?", MsgDlgType::Confirmation,
                                MsgButtons::YesNo, answer);
        click(form->child<QPushButton>("Button344"));
    }
    void save(ModalResult answer) { answerSave("Button1", answer); }
    void expectError(const QString& text) {
        desk->prompter().expect(text, MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
    }

private slots:
    void init() {
        openDesk();
        createWindows(true);
        QVERIFY(showActive(*form));
        QCOMPARE(value("StaffTableName"), QString("Abbott, Helen"));
    }
    void cleanup() { QVERIFY(closeDesk()); }

    void checkOutFillsTheRowAndFocusesTheDestination() {
        checkOut();
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(value("StaffTableDate_Left"), QString("3/11/26"));
        QCOMPARE(value("StaffTableReturn_Date"), QString("3/11/26"));
        QCOMPARE(value("StaffTableStatus"), QString("Out"));
        QCOMPARE(value("StaffTableDestination"), QString("IN Office")); // until the user picks
        auto* destination = form->child<DBLookupCombo>("DBLookupCombo1");
        QVERIFY(destination->hasFocus() || destination->isAncestorOf(QApplication::focusWidget()));
        // Nothing is stored yet.
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("IN"));
        QCOMPARE(desk->logCount(), 0);
    }

    // From the destination box the user goes on with Tab to the date and time boxes.
    void tabFromTheDestinationBoxAfterCheckOut() {
        checkOut();
        QTest::keyClicks(QApplication::focusWidget(), "Lunch");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->child<QWidget>("EditTIMELEFT"));
        QTest::keyClicks(QApplication::focusWidget(), "1100");
        QCOMPARE(value("StaffTableDestination"), QString("Lunch"));
        QCOMPARE(shown("EditTIMELEFT"), QString("11:00"));
    }

    // The whole road: check out, pick a destination, type the times and the phone, save.
    void fullCheckOutIsStoredWithOneHistoryRow() {
        checkOut();
        QVERIFY(pickFromList(form->child<DBLookupCombo>("DBLookupCombo1"), "Site Visit"));
        typeInto(form->child<DBEdit>("EditTIMELEFT"), "0930");
        typeInto(form->child<DBEdit>("EditTIMERET"), "1645");
        typeInto(form->child<DBEdit>("EditATEXT"), "5551234567");
        // Saved the next morning: the history row carries the save's date and time.
        testsupport::setFixedNow(QDateTime(QDate(2026, 3, 12), QTime(9, 1, 2)));
        save(ModalResult::Yes);

        QVERIFY(!form->isVisible());
        const QVariantMap row = desk->staff("Abbott, Helen");
        QCOMPARE(row.value("Status").toString(), QString("Out"));
        QCOMPARE(row.value("Destination").toString(), QString("Site Visit"));
        QCOMPARE(row.value("Date_Left").toString(), QString("3/11/26"));
        QCOMPARE(row.value("Time_Left").toString(), QString("09:30"));
        QCOMPARE(row.value("Return_Date").toString(), QString("3/11/26"));
        QCOMPARE(row.value("Return_Time").toString(), QString("16:45"));
        QCOMPARE(row.value("Contact_Phone").toString(), QString("(555)123-4567"));

        const auto history = desk->log();
        QCOMPARE(history.size(), 1);
        const QVariantMap h = history.first();
        QVERIFY(h.value("Transaction_Id").toInt() > 0);
        QVERIFY(h.value("Login_Name").isNull());
        QCOMPARE(h.value("Transaction_Date").toString(), QString("3/12/26"));
        QCOMPARE(h.value("Transaction_Time").toString(), QString("9:01:02 AM"));
        QCOMPARE(h.value("Name").toString(), QString("Abbott, Helen"));
        QCOMPARE(h.value("Department").toString(), QString("Sales"));
        QCOMPARE(h.value("Destination").toString(), QString("Site Visit"));
        QCOMPARE(h.value("Date Left").toString(), QString("3/11/26"));
        QCOMPARE(h.value("Time_Left").toString(), QString("09:30"));
        QCOMPARE(h.value("Return_Date").toString(), QString("3/11/26"));
        QCOMPARE(h.value("Return_Time").toString(), QString("16:45"));
        QCOMPARE(h.value("Status").toString(), QString("Out"));
        QCOMPARE(h.value("Contact_Phone").toString(), QString("(555)123-4567"));

        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(log().State(), DataSetState::Browse);
        // The hidden transaction boxes hold nothing of their own afterwards.
        QVERIFY(!form->child<DBEdit>("DBEdit2")->Modified());
        QVERIFY(!form->child<DBEdit>("DBEdit3")->Modified());
    }

    void typedDestinationNotInTheListIsStoredAsTyped() {
        checkOut();
        // The focus is in the destination box with its text selected: typing replaces it.
        QTest::keyClicks(QApplication::focusWidget(), "Dentist");
        save(ModalResult::Yes);
        QCOMPARE(desk->staff("Abbott, Helen").value("Destination").toString(), QString("Dentist"));
        QCOMPARE(desk->log().value(0).value("Destination").toString(), QString("Dentist"));
    }

    // Texts the program fills in are cut to their fields: 15 for the staff dates, 20 for
    // the history row's date and time.
    void filledInTextsAreCutToTheirFields() {
        data::FormatSettings formats = data::formatSettings();
        formats.shortDateFormat = "dddd, MMMM d, yyyy";
        formats.longTimeFormat = "HH:mm:ss 'o''clock in the afternoon'";
        data::setFormatSettings(formats);
        checkOut();
        save(ModalResult::Yes);
        const QVariantMap row = desk->staff("Abbott, Helen");
        QCOMPARE(row.value("Date_Left").toString(), QString("Wednesday, Marc"));
        QCOMPARE(row.value("Return_Date").toString(), QString("Wednesday, Marc"));
        const QVariantMap h = desk->log().value(0);
        QCOMPARE(h.value("Transaction_Date").toString(), QString("Wednesday, March 11,"));
        QCOMPARE(h.value("Transaction_Time").toString(), QString("14:05:09 o'clock in "));
        QCOMPARE(h.value("Date Left").toString(), QString("Wednesday, Marc"));
    }

    void saveAnsweredOtherThanYesDropsTheCheckOut_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("No") << ModalResult::No;
        QTest::newRow("Cancel") << ModalResult::Cancel;
    }
    void saveAnsweredOtherThanYesDropsTheCheckOut() {
        QFETCH(ModalResult, answer);
        checkOut();
        typeInto(form->child<DBEdit>("EditATEXT"), "5551234567");
        save(answer);
        QVERIFY(form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(log().State(), DataSetState::Browse);
        QCOMPARE(value("StaffTableStatus"), QString("IN"));
        QCOMPARE(shown("EditDateLeft"), QString("  /  /  "));
        QCOMPARE(shown("EditATEXT"), QString("(   )   -    "));
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("IN"));
        QCOMPARE(desk->logCount(), 0);
    }

    void checkOutTwiceBeforeSavingAppendsOneRow() {
        checkOut();
        typeInto(form->child<DBEdit>("EditTIMELEFT"), "0800");
        testsupport::setFixedNow(QDateTime(QDate(2026, 3, 13), QTime(8, 0, 0)));
        checkOut();
        // The second sets the dates and status again on the same pending row.
        QCOMPARE(value("StaffTableDate_Left"), QString("3/13/26"));
        QCOMPARE(value("StaffTableTime_Left"), QString("08:00"));
        save(ModalResult::Yes);
        QCOMPARE(desk->logCount(), 1);
        QCOMPARE(desk->log().value(0).value("Date Left").toString(), QString("3/13/26"));
        QCOMPARE(desk->log().value(0).value("Time_Left").toString(), QString("08:00"));
    }

    void checkOutOfAnEmployeeAlreadyOutAppendsAnotherRow() {
        desk->db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Head Office', Date_Left = '3/1/26' "
                        "WHERE Name = 'Abbott, Helen'");
        form->Close();
        for (int i = 0; i < 2; ++i) {
            QVERIFY(showActive(*form)); // re-read at the showing
            QCOMPARE(value("StaffTableStatus"), QString("Out"));
            checkOut();
            save(ModalResult::Yes);
        }
        QCOMPARE(desk->logCount(), 2);
        const auto history = desk->log();
        QVERIFY(history[0].value("Transaction_Id").toInt() < history[1].value("Transaction_Id").toInt());
        QCOMPARE(history[1].value("Date Left").toString(), QString("3/11/26"));
        QCOMPARE(history[1].value("Destination").toString(), QString("Head Office"));
    }

    void mainMenuLeavesTheCheckOutPendingUntilTheNextShowing() {
        checkOut();
        desk->prompter().expect("Return to Main Menu?", MsgDlgType::Confirmation, MsgButtons::YesNoCancel,
                                ModalResult::Yes);
        click(form->child<QPushButton>("Button2"));
        QVERIFY(!form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("IN"));

        QVERIFY(showActive(*form));
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("Out"));
        QCOMPARE(desk->logCount(), 0);
    }

    // Each showing shows what other windows stored meanwhile.
    void showingRereadsTheTable() {
        desk->db().exec("UPDATE Staff SET Destination = 'Head Office' WHERE Name = 'Abbott, Helen'");
        QCOMPARE(shown("EditNAME"), QString("Abbott, Helen"));
        QCOMPARE(form->child<DBLookupCombo>("DBLookupCombo1")->text(), QString("IN Office"));
        form->Close();
        QVERIFY(showActive(*form));
        QCOMPARE(form->child<DBLookupCombo>("DBLookupCombo1")->text(), QString("Head Office"));
    }

    // An incomplete time is refused when its box is left and again when the row is posted.
    void incompleteMaskedTimeIsRefused() {
        checkOut();
        auto* time = form->child<DBEdit>("EditTIMELEFT");
        typeInto(time, "9");
        expectError(invalidInput());
        QTest::keyClick(time, Qt::Key_Tab);
        QVERIFY(time->hasFocus());
        QCOMPARE(staff().State(), DataSetState::Edit);

        desk->prompter().expect("Save changes and return to Main Menu?", ModalResult::Yes);
        expectError(invalidInput());
        form->child<QPushButton>("Button1")->click();
        QVERIFY(form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(log().State(), DataSetState::Browse);
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("IN"));
        QCOMPARE(desk->logCount(), 0);

        // Esc gives the box its stored value back, and the save goes through.
        QTest::keyClick(time, Qt::Key_Escape);
        QCOMPARE(value("StaffTableTime_Left"), QString());
        desk->prompter().expect("Save changes and return to Main Menu?", ModalResult::Yes);
        form->child<QPushButton>("Button1")->click();
        QCOMPARE(desk->logCount(), 1);
        QVERIFY(!form->isVisible());
    }

    void pickerOnANameDeletedSinceStartUp() {
        desk->db().exec("DELETE FROM Staff WHERE Name = 'Baker, Tom'");
        expectError("Employee not found");
        QVERIFY(pickFromList(form->child<DBLookupComboBox>("DBLookupComboBox1"), "Baker, Tom"));
        QCOMPARE(value("StaffTableName"), QString("Abbott, Helen"));
        QCOMPARE(staff().State(), DataSetState::Browse);
    }

    // The employee's row and its history row are stored together or not at all.
    void failingSaveStoresNeither_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("event");
        QTest::newRow("history append refused") << "Staff_Log"
                                                << "INSERT";
        QTest::newRow("staff row refused") << "Staff"
                                           << "UPDATE";
    }
    void failingSaveStoresNeither() {
        QFETCH(QString, table);
        QFETCH(QString, event);
        checkOut();
        typeInto(form->child<DBEdit>("EditTIMELEFT"), "0930");
        saveRefused("Button1", table, event);

        QVERIFY(form->isVisible());
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("IN"));
        QVERIFY(desk->staff("Abbott, Helen").value("Time_Left").isNull());
        QCOMPARE(desk->logCount(), 0);
        // The check-out is still there to save; no history row is pending.
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(value("StaffTableStatus"), QString("Out"));
        QCOMPARE(value("StaffTableTime_Left"), QString("09:30"));
        QCOMPARE(shown("EditTIMELEFT"), QString("09:30"));
        QCOMPARE(log().State(), DataSetState::Browse);
        QVERIFY(!data::Database::forAlias("Corvane2003").InTransaction());

        // Once the engine takes it again, the same Save stores both, once.
        desk->allowWrites(table);
        save(ModalResult::Yes);
        QVERIFY(!form->isVisible());
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), QString("Out"));
        QCOMPARE(desk->staff("Abbott, Helen").value("Time_Left").toString(), QString("09:30"));
        QCOMPARE(desk->logCount(), 1);
        QCOMPARE(desk->log().value(0).value("Time_Left").toString(), QString("09:30"));
    }

    // Closing the table while a check-out is pending asks first.
    void closeGuardAsksBeforeClosing_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Yes posts") << ModalResult::Yes << "Out";
        QTest::newRow("No cancels") << ModalResult::No << "IN";
        QTest::newRow("Cancel cancels") << ModalResult::Cancel << "IN";
    }
    void closeGuardAsksBeforeClosing() {
        QFETCH(ModalResult, answer);
        QFETCH(QString, stored);
        checkOut();
        desk->prompter().expect("Post changes before closing?", MsgDlgType::Confirmation,
                                MsgButtons::YesNoCancel, answer);
        staff().Close();
        QVERIFY(!staff().Active());
        QCOMPARE(desk->staff("Abbott, Helen").value("Status").toString(), stored);
        QCOMPARE(desk->logCount(), 0);
        // Opening again re-reads at once; nothing is asked in browse state.
        staff().Open();
        QCOMPARE(value("StaffTableName"), QString("Abbott, Helen"));
        staff().Close();
        staff().Open();
    }
};

QTEST_MAIN(TestCheckOut)
#include "tst_checkout.moc"
