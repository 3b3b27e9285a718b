// The check-out window as it is created at start-up: its caption and place, its data objects
// with their field objects, sizes and masks, its controls with labels, limits and hints, the
// navigator, the calendar and the name picker's list. Its tab order and hidden boxes are
// tested with the check-in window's, in tst_bothwindows.
#include "controls/plaincontrols.h"
#include "data/query.h"
#include "locator/checkinform.h"
#include "tests/support/locatortest.h"
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace locatortest;

class TestCheckOutWindow : public QObject, public WindowTest<TCheckInForm> {
    Q_OBJECT

private slots:
    void init() {
        openDesk();
        createWindows(false);
    }
    void cleanup() { QVERIFY(closeDesk()); }

    void instanceAndCaption() {
        QCOMPARE(CheckInForm, form.get());
        QCOMPARE(form->windowTitle(), QString("Check-Out Form"));
        QVERIFY(!form->isVisible());
        QVERIFY(showActive(*form));
        QCOMPARE(form->frameGeometry().size(), QSize(615, 325));
        const QRect screen = form->screen()->availableGeometry();
        QVERIFY(qAbs(form->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(form->frameGeometry().center().y() - screen.center().y()) <= 1);
        form.reset();
        QCOMPARE(CheckInForm, nullptr);
    }

    void dataObjectsOpenAtCreation_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("source");
        QTest::newRow("StaffTable") << "StaffTable"
                                    << "Staff"
                                    << "Name"
                                    << "DataSource1";
        QTest::newRow("Table2") << "Table2"
                                << "Destination"
                                << "Destination"
                                << "DataSource2";
        QTest::newRow("Table1") << "Table1"
                                << "Staff_Log"
                                << "Name"
                                << "DataSource3";
    }
    void dataObjectsOpenAtCreation() {
        QFETCH(QString, name);
        QFETCH(QString, table);
        QFETCH(QString, order);
        QFETCH(QString, source);
        data::Table& t = form->table(name);
        QVERIFY(t.Active());
        QCOMPARE(t.DatabaseName(), QString("Corvane2003"));
        QCOMPARE(t.TableName(), table);
        QCOMPARE(t.IndexFieldNames(), order);
        QCOMPARE(form->dataSource(source).dataSet(), &t);
        QCOMPARE(t.State(), data::DataSetState::Browse);
    }

    void nameQuery() {
        data::Query& q = form->query("Query1");
        QVERIFY(q.Active());
        QCOMPARE(q.SQL(), QStringList({"SELECT Name", "FROM Staff Staff", "ORDER BY Name"}));
        QCOMPARE(q.fields().size(), 1);
        QCOMPARE(form->field("Query1Name").FieldName(), QString("Name"));
        QCOMPARE(form->field("Query1Name").Size(), 25);
        QCOMPARE(form->dataSource("DataSource4").dataSet(), &q);
    }

    void staffFields_data() {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("mask");
        QTest::newRow("Name") << "StaffTableName"
                              << "Name" << 25 << "";
        QTest::newRow("Department") << "StaffTableDepartment"
                                    << "Department" << 25 << "";
        QTest::newRow("Destination") << "StaffTableDestination"
                                     << "Destination" << 25 << "";
        QTest::newRow("Date_Left") << "StaffTableDate_Left"
                                   << "Date_Left" << 15 << "!99/99/00;1;_";
        QTest::newRow("Time_Left") << "StaffTableTime_Left"
                                   << "Time_Left" << 15 << "!90:00;1;_";
        QTest::newRow("Return_Date") << "StaffTableReturn_Date"
                                     << "Return_Date" << 15 << "!99/99/00;1;_";
        QTest::newRow("Return_Time") << "StaffTableReturn_Time"
                                     << "Return_Time" << 15 << "!90:00;1;_";
        QTest::newRow("Status") << "StaffTableStatus"
                                << "Status" << 3 << "";
        QTest::newRow("Contact_Phone") << "StaffTableContact_Phone"
                                       << "Contact_Phone" << 13 << "!\\(999\\)000-0000;1;_";
    }
    void staffFields() {
        QFETCH(QString, component);
        QFETCH(QString, fieldName);
        QFETCH(int, size);
        QFETCH(QString, mask);
        data::Field& f = form->field(component);
        QCOMPARE(f.dataSet(), &form->dataSet("StaffTable"));
        QCOMPARE(f.FieldName(), fieldName);
        QCOMPARE(f.Size(), size);
        QCOMPARE(f.EditMaskText(), mask);
    }

    void historyFields() {
        const QStringList components = {
            "Table1Transaction_Id", "Table1Login_Name",  "Table1Transaction_Date", "Table1Transaction_Time",
            "Table1Name",           "Table1Department",  "Table1Destination",      "Table1DateLeft",
            "Table1Time_Left",      "Table1Return_Date", "Table1Return_Time",      "Table1Status",
            "Table1Contact_Phone"};
        const QStringList names = {"Transaction_Id", "Login_Name",  "Transaction_Date", "Transaction_Time",
                                   "Name",           "Department",  "Destination",      "Date Left",
                                   "Time_Left",      "Return_Date", "Return_Time",      "Status",
                                   "Contact_Phone"};
        const QList<int> sizes = {0, 8, 20, 20, 25, 25, 25, 15, 15, 15, 15, 3, 13};
        const auto& fields = form->dataSet("Table1").fields();
        QCOMPARE(fields.size(), 13);
        for (int i = 0; i < 13; ++i) {
            QCOMPARE(fields[i]->name(), components[i]);
            QCOMPARE(fields[i]->FieldName(), names[i]);
            if (i == 0)
                QCOMPARE(fields[i]->dataType(), data::FieldType::AutoInc);
            else
                QCOMPARE(fields[i]->Size(), sizes[i]);
        }
    }

    void fieldBoxes_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("chars");
        QTest::addColumn<QString>("hint");
        QTest::newRow("EditNAME") << "EditNAME"
                                  << "Label1"
                                  << "Name" << 25 << "Employee name...";
        QTest::newRow("EditDateLeft")
            << "EditDateLeft"
            << "Label3"
            << "Date_Left" << 8 << "Enter the date the employee left. Enter In Military time format...";
        QTest::newRow("EditTIMELEFT") << "EditTIMELEFT"
                                      << "Label4"
                                      << "Time_Left" << 5 << "Enter the time the employee left...";
        QTest::newRow("DBEdit1") << "DBEdit1"
                                 << "Label5"
                                 << "Return_Date" << 8 << "";
        QTest::newRow("EditTIMERET")
            << "EditTIMERET"
            << "Label6"
            << "Return_Time" << 5
            << "Enter the scheduled time the employee will return. Enter in Military time format...";
        QTest::newRow("EditATEXT") << "EditATEXT"
                                   << "Label7"
                                   << "Contact_Phone" << 13
                                   << "The contact telephone number at the destination...";
    }
    void fieldBoxes() {
        QFETCH(QString, box);
        QFETCH(QString, label);
        QFETCH(QString, fieldName);
        QFETCH(int, chars);
        QFETCH(QString, hint);
        QVERIFY(showActive(*form));
        auto* edit = form->child<DBEdit>(box);
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(edit->dataField(), fieldName);
        QCOMPARE(edit->toolTip(), hint);
        if (edit->field()->EditMaskText().isEmpty())
            QCOMPARE(edit->maxLength(), chars);
        else
            QCOMPARE(edit->maxChars(), chars);
        QCOMPARE(edit->ReadOnly(), box == "EditNAME");
        // The label stands left of its box on the same line, right-aligned, navy and bold.
        auto* l = form->child<QLabel>(label);
        QVERIFY(l->geometry().right() < edit->geometry().left());
        QVERIFY(qAbs(l->geometry().center().y() - edit->geometry().center().y()) <= 3);
        QVERIFY(l->alignment() & Qt::AlignRight);
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(l->font().bold());
    }

    void labels_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label1") << "Label1"
                                << "Last Name, First Name";
        QTest::newRow("Label2") << "Label2"
                                << "Destination";
        QTest::newRow("Label3") << "Label3"
                                << "Date Left";
        QTest::newRow("Label4") << "Label4"
                                << "Time Left ";
        QTest::newRow("Label5") << "Label5"
                                << "Scheduled Return Date";
        QTest::newRow("Label6") << "Label6"
                                << "Scheduled Return Time";
        QTest::newRow("Label7") << "Label7"
                                << "Contact Phone Number";
        QTest::newRow("Label8") << "Label8"
                                << "Last Name, First Name";
    }
    void labels() {
        QFETCH(QString, label);
        QFETCH(QString, text);
        QCOMPARE(form->child<QLabel>(label)->text(), text);
    }

    void destinationBox() {
        QVERIFY(showActive(*form));
        auto* combo = form->child<DBLookupCombo>("DBLookupCombo1");
        QCOMPARE(combo->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(combo->field(), &form->field("StaffTableDestination"));
        QCOMPARE(combo->list()->dataSet(), &form->dataSet("Table2"));
        QCOMPARE(combo->list()->listField(), QString("Destination"));
        QCOMPARE(combo->toolTip(), QString("Click to select destination..."));
        QVERIFY(combo->isEditable());
        QVERIFY(combo->geometry().left() > form->child<QLabel>("Label2")->geometry().right());
        combo->showPopup();
        QCOMPARE(combo->view()->model()->index(0, 0).data().toString(), QString("Head Office"));
        QCOMPARE(combo->view()->model()->index(1, 0).data().toString(), QString("Site Visit"));
        combo->hidePopup();
    }

    void calendarHoldsItsStoredDate() {
        QVERIFY(showActive(*form));
        auto* calendar = form->child<controls::MonthCalendar>("MonthCalendar1");
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2003, 3, 11));
        // It stands at the top right, above the group.
        QVERIFY(calendar->geometry().left() > form->child<DBEdit>("EditNAME")->geometry().right());
        QVERIFY(calendar->geometry().bottom() < form->child<QGroupBox>("GroupBox1")->geometry().top());
        // No week-number column, so that the day names fit the stored width.
        QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
    }

    void navigatorButtonsAndHints() {
        QVERIFY(showActive(*form));
        auto* nav = form->child<DBNavigator>("DBNavigator1");
        QCOMPARE(nav->dataSource(), &form->dataSource("DataSource1"));
        const QList<DBNavigator::Button> shown = {
            DBNavigator::First, DBNavigator::Prior,  DBNavigator::Next,   DBNavigator::Last,
            DBNavigator::Edit,  DBNavigator::Cancel, DBNavigator::Refresh};
        const QStringList hints = {"First record", "Prior record", "Next record", "Last record",
                                   "Edit record",  "Cancel edit",  "Refresh data"};
        verifyNavigatorButtons(nav, shown, hints);
    }

    // The group: the picker above the navigator on the left, the buttons in two rows on
    // the right.
    void groupArrangement() {
        QVERIFY(showActive(*form));
        auto* group = form->child<QGroupBox>("GroupBox1");
        QCOMPARE(group->title(), QString("Data Navigator"));
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        auto* nav = form->child<DBNavigator>("DBNavigator1");
        auto* checkOut = form->child<QPushButton>("Button344");
        auto* save = form->child<QPushButton>("Button1");
        auto* destinations = form->child<QPushButton>("Button3");
        auto* mainMenu = form->child<QPushButton>("Button2");
        for (QWidget* w : std::initializer_list<QWidget*>{form->child<QLabel>("Label8"), picker, nav,
                                                          checkOut, save, destinations, mainMenu})
            QCOMPARE(w->parentWidget(), group);
        QCOMPARE(checkOut->text(), QString("Check Out"));
        QCOMPARE(save->text(), QString("Save"));
        QCOMPARE(destinations->text(), QString("Destinations"));
        QCOMPARE(mainMenu->text(), QString("Main Menu"));
        QVERIFY(picker->geometry().bottom() < nav->geometry().top());
        QVERIFY(nav->geometry().right() < checkOut->geometry().left());
        QCOMPARE(checkOut->y(), destinations->y());
        QCOMPARE(save->y(), mainMenu->y());
        QVERIFY(checkOut->geometry().bottom() < save->geometry().top());
        QCOMPARE(checkOut->x(), save->x());
        QCOMPARE(destinations->x(), mainMenu->x());
        QVERIFY(checkOut->geometry().right() < destinations->geometry().left());
        // Enter and Esc are no button's.
        for (QPushButton* b : {checkOut, save, destinations, mainMenu})
            QVERIFY(!b->isDefault());
    }

    void namePickerListsTheNamesAsTheyStoodAtStartUp() {
        desk->db().addStaff("Adams, Zoe"); // after start-up: not in the list
        QVERIFY(showActive(*form));
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        QCOMPARE(picker->listDataSet(), &form->dataSet("Query1"));
        QCOMPARE(picker->list()->listField(), QString("Name"));
        QVERIFY(!picker->isBound());
        picker->list()->fetchAll();
        QStringList names;
        for (int i = 0; i < picker->list()->rowCount(); ++i)
            names << picker->list()->text(i);
        QCOMPARE(names, QStringList({"Abbott, Helen", "Baker, Tom", "Carter, Ann"}));
        // The window's own table sees the new employee once it re-reads.
        form->table("StaffTable").First();
        QCOMPARE(form->field("StaffTableName").AsString(), QString("Abbott, Helen"));
        form->table("StaffTable").Next();
        QCOMPARE(form->field("StaffTableName").AsString(), QString("Adams, Zoe"));
    }
};

QTEST_MAIN(TestCheckOutWindow)
#include "tst_checkoutwindow.moc"
