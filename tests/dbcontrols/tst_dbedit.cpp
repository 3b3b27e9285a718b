// The data-aware edit box and memo over a real Staff table: typing into edit, masks, Esc,
// number keys, code-set values, closed datasets.
#include "controls/application.h"
#include "dbfixture.h"
#include <QPlainTextEdit>
#include <QSignalSpy>

using namespace dbtest;
using controls::DBEdit;
using controls::DBMemo;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

class TestDBEdit : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<CountingTable> staff;
    std::unique_ptr<data::DataSource> source;
    std::unique_ptr<Host> host;

    DBEdit* box(const QString& field, int maxChars = 0) {
        auto* e = host->add(new DBEdit);
        e->setObjectName("Edit" + field);
        e->setMaxChars(maxChars);
        e->bind(source.get(), field);
        return e;
    }
    data::Field* field(const QString& name) { return staff->FieldByName(name); }
    QVariant stored(const QString& column, const QString& name = "Abbott, Helen") {
        return db->scalar(QString("SELECT \"%1\" FROM Staff WHERE Name = ?").arg(column), {name});
    }
    // Leaves the box for the other box of the window, as Tab does.
    void leave(QWidget* w) {
        QVERIFY(w->hasFocus());
        host->other->setFocus(Qt::TabFocusReason);
    }
    void enter(QWidget* w) {
        w->setFocus(Qt::TabFocusReason);
        QVERIFY(w->hasFocus());
    }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        testsupport::useFixedFormats();
        env = std::make_unique<testsupport::UiTestEnv>();
        db->addStaff("Abbott, Helen",
                     {{"Status", "Out"}, {"Date_Left", "03/10/26"}, {"Time_Left", " 9:30"}, {"Emp_Num", 17}});
        db->addStaff("Baker, Tom");
        staff =
            openTable("StaffTable", "Staff", "Name",
                      {text("Name", 25), text("Status", 3), text("Destination", 25),
                       text("Date_Left", 15, "!99/99/00;1;_"), text("Time_Left", 15, "!90:00;1;_"),
                       text("Contact_Phone", 13, "!\\(999\\)000-0000;1;_"),
                       def("Emp_Num", data::FieldType::Float), def("Comments", data::FieldType::Memo, 1)});
        source = std::make_unique<data::DataSource>("DataSource1");
        source->setDataSet(staff.get());
        host = std::make_unique<Host>();
    }

    void cleanup() {
        host.reset();
        source.reset();
        staff.reset();
        env.reset();
        db.reset();
    }

    void showsTheCurrentRowAndFollowsMoves() {
        DBEdit* name = box("Name");
        DBEdit* date = box("Date_Left");
        QCOMPARE(name->text(), QString("Abbott, Helen"));
        QCOMPARE(name->maxLength(), 25); // the field's width when no limit is stored
        QCOMPARE(date->text(), QString("03/10/26"));
        staff->Next();
        QCOMPARE(name->text(), QString("Baker, Tom"));
        QCOMPARE(date->text(), QString("  /  /  ")); // literals and blanks for an empty value
        DBEdit* limited = box("Name", 5);
        QCOMPARE(limited->maxLength(), 5);
        QCOMPARE(staff->State(), data::DataSetState::Browse);
    }

    void bindsFromStoredProperties() {
        auto* e = host->add(new DBEdit);
        e->setProperty("dataSource", "DataSource1");
        e->setProperty("dataField", "Status");
        e->setProperty("maxChars", 2);
        e->setProperty("readOnly", true);
        Objects objects;
        objects.sources.insert("DataSource1", source.get());
        e->bindData(objects);
        QCOMPARE(e->text(), QString("Ou"));
        QCOMPARE(e->maxLength(), 2);
        QVERIFY(e->ReadOnly());
        QVERIFY(host->showActive());
        enter(e);
        QTest::keyClicks(e, "X");
        QCOMPARE(staff->State(), data::DataSetState::Browse);
        QCOMPARE(e->text(), QString("Ou"));
    }

    void typingPutsTheRowIntoEditAndLeavingWritesTheField() {
        DBEdit* status = box("Status");
        QSignalSpy changed(status, &DBEdit::changed);
        QVERIFY(host->showActive());
        enter(status);
        QTest::keyClicks(status, "IN");
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QVERIFY(status->Modified());
        QVERIFY(changed.count() >= 2);
        QCOMPARE(field("Status")->AsString(), QString("Out")); // still only in the box
        leave(status);
        QCOMPARE(field("Status")->AsString(), QString("IN"));
        QVERIFY(!status->Modified());
        QCOMPARE(stored("Status").toString(), QString("Out")); // written, not posted
        staff->Post();
        QCOMPARE(stored("Status").toString(), QString("IN"));
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void postWritesTheBoxesPendingText() {
        DBEdit* status = box("Status");
        QVERIFY(host->showActive());
        enter(status);
        QTest::keyClicks(status, "IN");
        staff->Post(); // the box is still focused: the post takes its text first
        QCOMPARE(stored("Status").toString(), QString("IN"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
    }

    void noTypingWithoutAutoEditOrWhenReadOnly_data() {
        QTest::addColumn<bool>("autoEdit");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("auto edit off") << false << false;
        QTest::newRow("read-only box") << true << true;
    }
    void noTypingWithoutAutoEditOrWhenReadOnly() {
        QFETCH(bool, autoEdit);
        QFETCH(bool, readOnly);
        source->SetAutoEdit(autoEdit);
        DBEdit* status = box("Status");
        status->SetReadOnly(readOnly);
        QVERIFY(host->showActive());
        enter(status);
        QTest::keyClicks(status, "Z");
        QTest::keyClick(status, Qt::Key_Backspace);
        QCOMPARE(status->text(), QString("Out"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
        if (!readOnly) {
            staff->Edit(); // once the row is editing, the box takes typing
            QTest::keyClick(status, Qt::Key_End);
            QTest::keyClicks(status, "!");
            QCOMPARE(status->text(), QString("Out")); // cut at the field's width
            QTest::keyClick(status, Qt::Key_Backspace);
            QTest::keyClicks(status, "!");
            QCOMPARE(status->text(), QString("Ou!"));
        }
    }

    void escapeRestoresTheFieldsValue() {
        DBEdit* name = box("Name");
        QVERIFY(host->showActive());
        enter(name);
        QTest::keyClicks(name, "Zed");
        QCOMPARE(name->text(), QString("Zed"));
        QTest::keyClick(name, Qt::Key_Escape);
        QCOMPARE(name->text(), QString("Abbott, Helen"));
        QVERIFY(!name->Modified());
        QCOMPARE(name->selectedText(), QString("Abbott, Helen"));
        leave(name);
        QCOMPARE(field("Name")->AsString(), QString("Abbott, Helen"));
        staff->Post(); // nothing was written into the row
        QCOMPARE(stored("Name").toString(), QString("Abbott, Helen"));
    }

    void incompleteMaskIsRefusedWhenLeft_data() {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("date") << "Date_Left"
                              << "0311"
                              << "03/11/  ";
        QTest::newRow("time") << "Time_Left"
                              << "1"
                              << "1 :  ";
        QTest::newRow("phone") << "Contact_Phone"
                               << "555123"
                               << "(555)123-    ";
    }
    void incompleteMaskIsRefusedWhenLeft() {
        QFETCH(QString, fieldName);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        DBEdit* masked = box(fieldName);
        const QString before = field(fieldName)->AsString();
        QVERIFY(host->showActive());
        enter(masked);
        QTest::keyClicks(masked, typed);
        QCOMPARE(masked->text(), shown); // literals in place, a blank in every open place
        env->prompter().expect(invalidInput(), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        host->other->setFocus(Qt::TabFocusReason);
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(env->prompter().questions().last().caption, QString("The Quorvale"));
        QVERIFY(masked->hasFocus());
        QCOMPARE(masked->selectedText(), masked->displayText());
        QCOMPARE(field(fieldName)->AsString(), before);
        QCOMPARE(staff->State(), data::DataSetState::Edit);

        // ... and at the latest when the row is posted.
        env->prompter().expect(invalidInput(), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        controls::runGuarded([&] { staff->Post(); });
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(stored(fieldName).toString(), before);

        // Esc gives the field's value back; the box can then be left.
        QTest::keyClick(masked, Qt::Key_Escape);
        leave(masked);
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void completeMaskIsStoredWithItsLiterals() {
        DBEdit* date = box("Date_Left");
        DBEdit* time = box("Time_Left");
        QVERIFY(host->showActive());
        enter(date);
        QTest::keyClicks(date, "031226");
        enter(time); // leaving the date box writes it
        QCOMPARE(field("Date_Left")->AsString(), QString("03/12/26"));
        QTest::keyClicks(time, "0745");
        staff->Post();
        QCOMPARE(stored("Date_Left").toString(), QString("03/12/26"));
        QCOMPARE(stored("Time_Left").toString(), QString("07:45"));
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void numberFieldTakesOnlyNumberKeys() {
        DBEdit* num = box("Emp_Num");
        QVERIFY(host->showActive());
        enter(num);
        QTest::keyClicks(num, "1x2a.5E+3;");
        QCOMPARE(num->text(), QString("12.5E+3"));
        leave(num);
        QCOMPARE(field("Emp_Num")->AsFloat(), 12500.0);

        enter(num);
        QTest::keyClicks(num, "1-2");
        // (the error box appends no "." after a quote)
        env->prompter().expect("'1-2' is not a valid floating point value for field 'Emp_Num'",
                               MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        host->other->setFocus(Qt::TabFocusReason);
        QVERIFY(env->prompter().verifyAllAnswered());
        QVERIFY(num->hasFocus());
        QCOMPARE(num->selectedText(), QString("1-2"));
        QCOMPARE(field("Emp_Num")->AsFloat(), 12500.0);

        // An emptied number box stores an empty value.
        num->selectAll();
        QTest::keyClick(num, Qt::Key_Backspace);
        leave(num);
        QVERIFY(field("Emp_Num")->IsNull());
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void valueSetByCodeReloadsTheBoxAndIsStoredUnchecked() {
        DBEdit* status = box("Status");
        DBEdit* date = box("Date_Left");
        DBEdit* dateAgain = box("Date_Left");
        QVERIFY(host->showActive());
        enter(status);
        QTest::keyClicks(status, "xx");
        QVERIFY(status->Modified());
        field("Status")->SetAsString("IN"); // drops the pending text
        QCOMPARE(status->text(), QString("IN"));
        QVERIFY(!status->Modified());
        // A value that does not fit the mask: shown as well as it goes, stored as it is.
        field("Date_Left")->SetAsString("3/11/2026");
        QVERIFY(!date->Modified());
        QCOMPARE(date->text(), dateAgain->text());
        leave(status);
        staff->Post();
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(stored("Status").toString(), QString("IN"));
        QCOMPARE(stored("Date_Left").toString(), QString("3/11/2026"));
    }

    void textSetByCodeIsPendingLikeTypedText() {
        DBEdit* status = box("Status");
        staff->Edit();
        status->setText("IN");
        QVERIFY(status->Modified());
        QCOMPARE(field("Status")->AsString(), QString("Out"));
        staff->Post();
        QCOMPARE(stored("Status").toString(), QString("IN"));
        // The text a window reads back from a masked box holds the mask's places.
        DBEdit* date = box("Date_Left");
        date->setText("3/4/26");
        QCOMPARE(date->text(), QString(" 3/ 4/26"));
    }

    void closedDatasetShowsAnEmptyBoxThatTakesNoTyping() {
        DBEdit* name = box("Name");
        QVERIFY(host->showActive());
        staff->Close();
        QCOMPARE(name->text(), QString());
        QVERIFY(static_cast<QLineEdit*>(name)->isReadOnly());
        enter(name);
        QTest::keyClicks(name, "abc");
        QCOMPARE(name->text(), QString());
        leave(name);
        staff->Open();
        QCOMPARE(name->text(), QString("Abbott, Helen"));
        QVERIFY(!static_cast<QLineEdit*>(name)->isReadOnly());
    }

    void typingIntoAnEmptyTableInsertsARow() {
        auto dept = openTable("Table1", "Dept", "Department", {text("Department", 30)});
        data::DataSource deptSource("DataSource2");
        deptSource.setDataSet(dept.get());
        auto* e = host->add(new DBEdit);
        e->bind(&deptSource, "Department");
        QVERIFY(host->showActive());
        enter(e);
        QTest::keyClicks(e, "Sales");
        QCOMPARE(dept->State(), data::DataSetState::Insert);
        dept->Post();
        QCOMPARE(db->scalar("SELECT Department FROM Dept").toString(), QString("Sales"));
        QCOMPARE(e->text(), QString("Sales"));
    }

    void cancelDropsThePendingText() {
        DBEdit* status = box("Status");
        QVERIFY(host->showActive());
        enter(status);
        QTest::keyClicks(status, "IN");
        staff->Cancel();
        QCOMPARE(status->text(), QString("Out"));
        QVERIFY(!status->Modified());
        QCOMPARE(staff->State(), data::DataSetState::Browse);
    }

    void memoEditsLikeTheBox() {
        auto* memo = host->add(new DBMemo);
        memo->bind(source.get(), "Comments");
        auto* statusMemo = host->add(new DBMemo);
        statusMemo->bind(source.get(), "Status");
        QSignalSpy changed(memo, &DBMemo::changed);
        QVERIFY(host->showActive());
        memo->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(memo, "Call back");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "soon");
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QVERIFY(changed.count() > 0);
        host->other->setFocus(Qt::TabFocusReason);
        QCOMPARE(field("Comments")->AsString(), QString("Call back\nsoon"));
        staff->Post();
        QCOMPARE(stored("Comments").toString(), QString("Call back\nsoon"));

        // A memo on a text field stops at the field's width; Esc gives the value back.
        statusMemo->setFocus(Qt::TabFocusReason);
        statusMemo->moveCursor(QTextCursor::End);
        QTest::keyClicks(statusMemo, "abc");
        QCOMPARE(statusMemo->toPlainText(), QString("Out"));
        statusMemo->selectAll();
        QTest::keyClicks(statusMemo, "abcd");
        QCOMPARE(statusMemo->toPlainText(), QString("abc"));
        QTest::keyClick(statusMemo, Qt::Key_Escape);
        QCOMPARE(statusMemo->toPlainText(), QString("Out"));
        QVERIFY(!statusMemo->Modified());

        staff->Close();
        QCOMPARE(memo->toPlainText(), QString());
        QVERIFY(static_cast<QPlainTextEdit*>(memo)->isReadOnly());
    }
};

QTEST_MAIN(TestDBEdit)
#include "tst_dbedit.moc"
