// Checking an employee back in: the question, the values the window sets, the Save that
// stores the employee's row and appends one history row together and closes the window in
// every case, and the changes that reach the table without a history row. The real window
// on a fresh database, driven through its controls.
// What the window does as the check-out window does is tested over both, in tst_bothwindows.
#include "locator/destinationform.h"
#include "locator/form12.h"
#include "tests/support/locatortest.h"
#include <QPushButton>
#include <QtTest>

using namespace locatortest;

class TestCheckIn : public QObject, public WindowTest<TForm12> {
    Q_OBJECT

    data::Table& staff() { return form->table("StaffTable"); }
    data::Table& log() { return form->table("Table5"); }
    QString value(const QString& field) { return form->field("StaffTable" + field).AsString(); }
    QString shown(const char* box) { return form->child<DBEdit>(box)->text(); }
    QString destinationShown() { return form->child<DBLookupCombo>("DBLookupCombo1")->text(); }
    QVariantMap abbott() { return desk->staff("Abbott, Helen"); }

    void checkIn(ModalResult answer = ModalResult::Yes) {
        desk->prompter().expect("Are you sure you want to Check In?", MsgDlgType::Confirmation,
                                MsgButtons::YesNo, answer);
        click(form->child<QPushButton>("BitBttn4"));
    }
    void save(ModalResult answer) { answerSave("Button5", answer); }

    // Abbott is out when the program starts.
    static const QStringList& whereabouts() {
        static const QStringList f = {"Date_Left", "Time_Left", "Return_Date", "Return_Time",
                                      "Contact_Phone"};
        return f;
    }
    void verifyAbbottStillOut() {
        const QVariantMap row = abbott();
        QCOMPARE(row.value("Status").toString(), QString("Out"));
        QCOMPARE(row.value("Destination").toString(), QString("Site Visit"));
        QCOMPARE(row.value("Date_Left").toString(), QString("3/10/26"));
        QCOMPARE(row.value("Contact_Phone").toString(), QString("(555)123-4567"));
    }

private slots:
    void init() {
        openDesk();
        desk->db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Site Visit', Date_Left = '3/10/26', "
                        "Time_Left = '09:30', Return_Date = '3/12/26', Return_Time = '16:45', "
                        "Contact_Phone = '(555)123-4567' WHERE Name = 'Abbott, Helen'");
        createWindows(true);
        QVERIFY(showActive(*form));
        QCOMPARE(value("Name"), QString("Abbott, Helen"));
    }
    void cleanup() { QVERIFY(closeDesk()); }

    void checkInSetsTheRowInTheBoxes() {
        auto* button = form->child<QPushButton>("BitBttn4");
        checkIn();
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(destinationShown(), QString("IN Office"));
        for (const QString& f : whereabouts())
            QVERIFY2(form->field("StaffTable" + f).IsNull(), qPrintable(f));
        QCOMPARE(shown("EditDateLeft"), QString("  /  /  "));
        QCOMPARE(shown("EditTIMELEFT"), QString("  :  "));
        QCOMPARE(shown("EditATEXT"), QString());
        QCOMPARE(value("Status"), QString("IN"));
        QVERIFY(button->hasFocus());
        verifyAbbottStillOut(); // nothing is posted
    }

    void checkInAndSaveStoresTheRowAndOneHistoryRow() {
        checkIn();
        testsupport::setFixedNow(QDateTime(QDate(2026, 3, 12), QTime(17, 2, 3)));
        save(ModalResult::Yes);

        QVERIFY(!form->isVisible());
        const QVariantMap row = abbott();
        QCOMPARE(row.value("Status").toString(), QString("IN"));
        QCOMPARE(row.value("Destination").toString(), QString("IN Office"));
        for (const QString& f : whereabouts())
            QVERIFY2(row.value(f).isNull(), qPrintable(f));

        const auto history = desk->log();
        QCOMPARE(history.size(), 1);
        const QVariantMap h = history.first();
        QVERIFY(h.value("Transaction_Id").toInt() > 0);
        QCOMPARE(h.value("Transaction_Date").toString(), QString("3/12/26"));
        QCOMPARE(h.value("Transaction_Time").toString(), QString("5:02:03 PM"));
        QCOMPARE(h.value("Name").toString(), QString("Abbott, Helen"));
        QCOMPARE(h.value("Department").toString(), QString("Sales"));
        QCOMPARE(h.value("Destination").toString(), QString("IN Office"));
        QCOMPARE(h.value("Status").toString(), QString("IN"));
        for (const char* empty :
             {"Date Left", "Time_Left", "Return_Date", "Return_Time", "Login_Name", "Contact_Phone"})
            QVERIFY2(h.value(empty).isNull(), empty);
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(log().State(), DataSetState::Browse);
        QVERIFY(!form->child<DBEdit>("DBEdit2")->Modified());
        QVERIFY(!form->child<DBEdit>("DBEdit3")->Modified());
    }

    // What the user picks or types after Check In is what the row and the history keep.
    void valuesChangedAfterCheckInAreStoredAndLogged() {
        checkIn();
        QVERIFY(pickFromList(form->child<DBLookupCombo>("DBLookupCombo1"), "Head Office"));
        typeInto(form->child<DBEdit>("EditATEXT"), "ext. 4417"); // no mask in this window
        save(ModalResult::Yes);
        QCOMPARE(abbott().value("Destination").toString(), QString("Head Office"));
        QCOMPARE(abbott().value("Contact_Phone").toString(), QString("ext. 4417"));
        const QVariantMap h = desk->log().value(0);
        QCOMPARE(h.value("Destination").toString(), QString("Head Office"));
        QCOMPARE(h.value("Contact_Phone").toString(), QString("ext. 4417"));
        QCOMPARE(h.value("Status").toString(), QString("IN"));
    }

    void saveAnsweredOtherThanYesDropsTheChangesAndCloses_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("No") << ModalResult::No;
        QTest::newRow("Cancel") << ModalResult::Cancel;
    }
    void saveAnsweredOtherThanYesDropsTheChangesAndCloses() {
        QFETCH(ModalResult, answer);
        checkIn();
        save(answer);
        QVERIFY(!form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Browse);
        QCOMPARE(log().State(), DataSetState::Browse);
        verifyAbbottStillOut();
        QCOMPARE(desk->logCount(), 0);
        // The next opening shows the stored values.
        QVERIFY(showActive(*form));
        QCOMPARE(value("Status"), QString("Out"));
        QCOMPARE(destinationShown(), QString("Site Visit"));
        QCOMPARE(shown("EditATEXT"), QString("(555)123-4567"));
    }

    // Save logs whatever is pending, with the row's present status and destination.
    void typedChangeWithoutCheckInIsStoredAndLogged() {
        typeInto(form->child<DBEdit>("EditATEXT"), "555-0199");
        save(ModalResult::Yes);
        QVERIFY(!form->isVisible());
        QCOMPARE(abbott().value("Contact_Phone").toString(), QString("555-0199"));
        QCOMPARE(abbott().value("Status").toString(), QString("Out"));
        const auto history = desk->log();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].value("Status").toString(), QString("Out"));
        QCOMPARE(history[0].value("Destination").toString(), QString("Site Visit"));
        QCOMPARE(history[0].value("Contact_Phone").toString(), QString("555-0199"));
        QVERIFY(history[0].value("Date Left").isNull()); // a check-in row copies no dates
    }

    void mainMenuLeavesTheCheckInPendingForTheNextOpening() {
        checkIn();
        desk->prompter().expect("Return to Main Menu?", MsgDlgType::Confirmation, MsgButtons::YesNoCancel,
                                ModalResult::Yes);
        click(form->child<QPushButton>("Button3"));
        QVERIFY(!form->isVisible());
        verifyAbbottStillOut();

        QVERIFY(showActive(*form)); // re-reads nothing
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(value("Name"), QString("Abbott, Helen"));
        QCOMPARE(destinationShown(), QString("IN Office"));
        QCOMPARE(shown("EditTIMELEFT"), QString("  :  "));
        verifyAbbottStillOut();

        save(ModalResult::Yes);
        QCOMPARE(abbott().value("Status").toString(), QString("IN"));
        QCOMPARE(abbott().value("Destination").toString(), QString("IN Office"));
        QCOMPARE(desk->logCount(), 1);
        QCOMPARE(desk->log().value(0).value("Destination").toString(), QString("IN Office"));
    }

    // The close box asks nothing and changes nothing.
    void closeBoxLeavesTheCheckInPending() {
        checkIn();
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(staff().State(), DataSetState::Edit);
        verifyAbbottStillOut();
    }

    void checkInOfAnEmployeeAlreadyInAppendsAnotherRow() {
        press(form->child<DBNavigator>("DBNavigator1"), DBNavigator::Next); // Baker, who is in
        for (int i = 0; i < 2; ++i) {
            if (i > 0) QVERIFY(showActive(*form));
            checkIn();
            save(ModalResult::Yes);
        }
        const auto history = desk->log();
        QCOMPARE(history.size(), 2);
        for (const auto& h : history) {
            QCOMPARE(h.value("Name").toString(), QString("Baker, Tom"));
            QCOMPARE(h.value("Status").toString(), QString("IN"));
        }
        QVERIFY(history[0].value("Transaction_Id").toInt() < history[1].value("Transaction_Id").toInt());
    }

    // Opening the list moves the table to the last chosen name, or to the first employee.
    void openingThePickerMovesTheTable() {
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        auto* nav = form->child<DBNavigator>("DBNavigator1");
        press(nav, DBNavigator::Last);
        QCOMPARE(value("Name"), QString("Carter, Ann"));
        picker->showPopup();
        QCOMPARE(value("Name"), QString("Abbott, Helen"));
        picker->hidePopup();

        QVERIFY(pickFromList(picker, "Baker, Tom"));
        QCOMPARE(value("Name"), QString("Baker, Tom"));
        press(nav, DBNavigator::Next);
        QCOMPARE(value("Name"), QString("Carter, Ann"));
        picker->showPopup();
        QCOMPARE(value("Name"), QString("Baker, Tom"));
        picker->hidePopup();
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
        checkIn();
        saveRefused("Button5", table, event);

        QVERIFY(form->isVisible());
        verifyAbbottStillOut();
        QCOMPARE(desk->logCount(), 0);
        QCOMPARE(staff().State(), DataSetState::Edit);
        QCOMPARE(value("Status"), QString("IN"));
        QCOMPARE(destinationShown(), QString("IN Office"));
        QVERIFY(form->field("StaffTableTime_Left").IsNull());
        QCOMPARE(log().State(), DataSetState::Browse);
        QVERIFY(!data::Database::forAlias("Corvane2003").InTransaction());

        desk->allowWrites(table);
        save(ModalResult::Yes);
        QVERIFY(!form->isVisible());
        QCOMPARE(abbott().value("Status").toString(), QString("IN"));
        QCOMPARE(abbott().value("Destination").toString(), QString("IN Office"));
        QCOMPARE(desk->logCount(), 1);
        QCOMPARE(desk->log().value(0).value("Destination").toString(), QString("IN Office"));
    }
};

QTEST_MAIN(TestCheckIn)
#include "tst_checkin.moc"
