// The check-in window as it is created at start-up: its caption, place and size, its data
// objects with their field objects and masks, the field column with labels, limits, hints and
// states, the date picker under the return-date box and the two groups. Its tab order and
// hidden boxes are tested with the check-out window's, in tst_bothwindows.
#include "controls/plaincontrols.h"
#include "locator/form12.h"
#include "tests/support/locatortest.h"
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace locatortest;

class TestCheckInWindow : public QObject, public WindowTest<TForm12> {
    Q_OBJECT

private slots:
    void init() {
        openDesk();
        createWindows(false);
    }
    void cleanup() { QVERIFY(closeDesk()); }

    void instanceCaptionAndPlace() {
        QCOMPARE(Form12, form.get());
        QCOMPARE(form->windowTitle(), QString("Check-In Form"));
        QVERIFY(!form->isVisible());
        QVERIFY(showActive(*form));
        QCOMPARE(form->frameGeometry(), QRect(322, 186, 492, 325));
        // Nothing runs when the window is created or shown: only the four buttons' handlers.
        QVERIFY(form->property("onCreate").toString().isEmpty());
        QVERIFY(form->property("onActivate").toString().isEmpty());
        for (const char* h : {"BitBttn4Click", "Button5Click", "Button1Click", "Button3Click"})
            QVERIFY(form->hasHandler(h));
        form.reset();
        QCOMPARE(Form12, nullptr);
    }

    void dataObjectsOpenAtCreation_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("fieldCount");
        QTest::newRow("StaffTable") << "StaffTable"
                                    << "Staff"
                                    << "Name"
                                    << "DataSource1" << 25;
        QTest::newRow("Table2") << "Table2"
                                << "Destination"
                                << "Destination"
                                << "DataSource2" << 9;
        QTest::newRow("Table5") << "Table5"
                                << "Staff_Log"
                                << "Name"
                                << "DataSource3" << 13;
    }
    void dataObjectsOpenAtCreation() {
        QFETCH(QString, name);
        QFETCH(QString, table);
        QFETCH(QString, order);
        QFETCH(QString, source);
        QFETCH(int, fieldCount);
        data::Table& t = form->table(name);
        QVERIFY(t.Active());
        QCOMPARE(t.DatabaseName(), QString("Corvane2003"));
        QCOMPARE(t.TableName(), table);
        QCOMPARE(t.IndexFieldNames(), order);
        QCOMPARE(form->dataSource(source).dataSet(), &t);
        QCOMPARE(t.fields().size(), fieldCount);
        for (const data::Field* f : t.fields()) {
            QString expected = name + f->FieldName();
            expected.remove(' ');
            QCOMPARE(f->name(), expected);
        }
    }

    void staffFields_data() {
        QTest::addColumn<QString>("component");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("mask");
        QTest::newRow("Name") << "StaffTableName" << 25 << "";
        QTest::newRow("Department") << "StaffTableDepartment" << 25 << "";
        QTest::newRow("Destination") << "StaffTableDestination" << 25 << "";
        QTest::newRow("Date_Left") << "StaffTableDate_Left" << 15 << "!99/99/00;1;_";
        QTest::newRow("Time_Left") << "StaffTableTime_Left" << 15 << "!90:00;1;_";
        QTest::newRow("Return_Date") << "StaffTableReturn_Date" << 15 << "!99/99/00;1;_";
        QTest::newRow("Return_Time") << "StaffTableReturn_Time" << 15 << "!90:00;1;_";
        QTest::newRow("Status") << "StaffTableStatus" << 3 << "";
        QTest::newRow("Contact_Phone, no mask here") << "StaffTableContact_Phone" << 13 << "";
        QTest::newRow("log date") << "Table5Transaction_Date" << 20 << "";
        QTest::newRow("log time") << "Table5Transaction_Time" << 20 << "";
        QTest::newRow("log date left") << "Table5DateLeft" << 15 << "";
    }
    void staffFields() {
        QFETCH(QString, component);
        QFETCH(int, size);
        QFETCH(QString, mask);
        QCOMPARE(form->field(component).Size(), size);
        QCOMPARE(form->field(component).EditMaskText(), mask);
    }

    void fieldColumn_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("labelText");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("chars");
        QTest::addColumn<QString>("hint");
        QTest::newRow("EditNAME") << "EditNAME"
                                  << "Label1"
                                  << "Last Name, First Name"
                                  << "Name" << 25 << "Employee name...";
        QTest::newRow("EditDateLeft") << "EditDateLeft"
                                      << "Label3"
                                      << "Date Left"
                                      << "Date_Left" << 8 << "";
        QTest::newRow("EditTIMELEFT") << "EditTIMELEFT"
                                      << "Label4"
                                      << "Time Left "
                                      << "Time_Left" << 5 << "Enter the time the employee left...";
        QTest::newRow("DBEdit1") << "DBEdit1"
                                 << "Label5"
                                 << "Scheduled Return Date"
                                 << "Return_Date" << 8 << "";
        QTest::newRow("EditTIMERET")
            << "EditTIMERET"
            << "Label6"
            << "Scheduled Return Time"
            << "Return_Time" << 5
            << "Enter the scheduled time the employee will return. Enter in Military time format...";
        QTest::newRow("EditATEXT") << "EditATEXT"
                                   << "Label7"
                                   << "Contact Phone Number"
                                   << "Contact_Phone" << 13
                                   << "The contact telephone number at the destination...";
    }
    void fieldColumn() {
        QFETCH(QString, box);
        QFETCH(QString, label);
        QFETCH(QString, labelText);
        QFETCH(QString, fieldName);
        QFETCH(int, chars);
        QFETCH(QString, hint);
        QVERIFY(showActive(*form));
        auto* edit = form->child<DBEdit>(box);
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(edit->dataField(), fieldName);
        QCOMPARE(edit->toolTip(), hint);
        // The name box takes its field's width; the others store a limit of their own.
        QCOMPARE(edit->maxChars(), box == "EditNAME" ? 0 : chars);
        if (edit->field()->EditMaskText().isEmpty()) QCOMPARE(edit->maxLength(), chars);
        QCOMPARE(edit->ReadOnly(), box == "EditNAME");
        auto* l = form->child<QLabel>(label);
        QCOMPARE(l->text(), labelText);
        QVERIFY(l->geometry().right() < edit->geometry().left());
        QVERIFY(qAbs(l->geometry().center().y() - edit->geometry().center().y()) <= 3);
        QVERIFY(l->alignment() & Qt::AlignRight);
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(l->font().bold());
    }

    void contactPhoneTakesFreeText() {
        QVERIFY(showActive(*form));
        auto* phone = form->child<DBEdit>("EditATEXT");
        typeInto(phone, "call the front desk");
        QCOMPARE(phone->text(), QString("call the fron"));
        QTest::keyClick(phone, Qt::Key_Escape);
    }

    void destinationLookUp() {
        QVERIFY(showActive(*form));
        auto* combo = form->child<DBLookupCombo>("DBLookupCombo1");
        QCOMPARE(form->child<QLabel>("Label2")->text(), QString("Destination"));
        QCOMPARE(combo->field(), &form->field("StaffTableDestination"));
        QCOMPARE(combo->list()->dataSet(), &form->dataSet("Table2"));
        QCOMPARE(combo->list()->listField(), QString("Destination"));
        QCOMPARE(combo->toolTip(), QString("Click to select destination..."));
        QVERIFY(combo->isEditable());
        QVERIFY(!combo->lineEdit()->isReadOnly());
        QCOMPARE(combo->text(), QString("IN Office"));
    }

    void datePickerLiesUnderTheReturnDateBox() {
        QVERIFY(showActive(*form));
        auto* picker = form->child<controls::DateTimePicker>("DateTimePicker1");
        auto* box = form->child<DBEdit>("DBEdit1");
        QCOMPARE(picker->date(), QDate(2000, 8, 22));
        QCOMPARE(picker->geometry(), box->geometry());
        QCOMPARE(picker->parentWidget(), box->parentWidget());
        QCOMPARE(box->parentWidget()->childAt(box->geometry().center()), box);
    }

    void navigatorGroup() {
        QVERIFY(showActive(*form));
        auto* group = form->child<QGroupBox>("GroupBox1");
        QCOMPARE(group->title(), QString("Data Navigator"));
        QCOMPARE(group->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(group->font().bold());
        QCOMPARE(form->child<QLabel>("Label8")->text(), QString("Last Name, First Name"));
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        QCOMPARE(picker->parentWidget(), group);
        QCOMPARE(picker->listDataSet(), &form->dataSet("StaffTable"));
        QCOMPARE(picker->list()->listField(), QString("Name"));
        QCOMPARE(picker->list()->keyField(), QString("Name"));
        QVERIFY(!picker->isBound());

        auto* nav = form->child<DBNavigator>("DBNavigator1");
        QCOMPARE(nav->parentWidget(), group);
        QCOMPARE(nav->dataSource(), &form->dataSource("DataSource1"));
        const QList<DBNavigator::Button> shown = {DBNavigator::First,  DBNavigator::Prior,
                                                  DBNavigator::Next,   DBNavigator::Last,
                                                  DBNavigator::Cancel, DBNavigator::Refresh};
        const QStringList hints = {"First record", "Prior record", "Next record",
                                   "Last record",  "Cancel edit",  "Refresh data"};
        verifyNavigatorButtons(nav, shown, hints);
        QVERIFY(picker->geometry().bottom() < nav->geometry().top());
    }

    void actionsGroup() {
        QVERIFY(showActive(*form));
        auto* group = form->child<QGroupBox>("GroupBox2");
        QCOMPARE(group->title(), QString("Actions"));
        QVERIFY(group->geometry().left() > form->child<QGroupBox>("GroupBox1")->geometry().right());
        const QStringList names = {"BitBttn4", "Button1", "Button5", "Button3"};
        const QStringList captions = {"Check &In", "&Destinations", "&Save", "Main Menu"};
        const QStringList hints = {"Click to check-in the office...", "",
                                   "Click Yes to save changes. No to cancel changes...", ""};
        QVERIFY(qobject_cast<controls::BitBtn*>(form->child<QPushButton>("BitBttn4")));
        int lastBottom = -1;
        for (int i = 0; i < names.size(); ++i) {
            auto* b = form->child<QPushButton>(names[i]);
            QCOMPARE(b->parentWidget(), group);
            QCOMPARE(b->text(), captions[i]);
            QCOMPARE(b->toolTip(), hints[i]);
            QVERIFY(b->y() > lastBottom);
            QVERIFY(!b->isDefault());
            lastBottom = b->geometry().bottom();
        }
    }
};

QTEST_MAIN(TestCheckInWindow)
#include "tst_checkinwindow.moc"
