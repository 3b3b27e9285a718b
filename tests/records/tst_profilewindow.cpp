// The profile and password windows as they are created at start-up: caption, size and place,
// data objects and field objects, the fourteen boxes with labels, hints, limits and tab order,
// the two groups with their buttons, the navigator, and the password window's box.
#include "profiletest.h"
#include "controls/plaincontrols.h"
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>

using namespace profiletest;

class TestProfileWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<ProfileDesk> desk;

    static void verifyCentred(controls::Form& form, QSize size) {
        QCOMPARE(form.frameGeometry().size(), size);
        const QRect screen = form.screen()->availableGeometry();
        QVERIFY(qAbs(form.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(form.frameGeometry().center().y() - screen.center().y()) <= 1);
    }

private slots:
    void init() {
        desk = std::make_unique<ProfileDesk>();
        desk->createWindows();
    }
    void cleanup() {
        QVERIFY(desk->prompter().verifyAllAnswered());
        desk.reset();
    }

    void instancesAndCaptions() {
        QCOMPARE(DSKSTAFF, desk->form.get());
        QCOMPARE(PasswordForm, desk->password.get());
        QCOMPARE(desk->form->windowTitle(), QString("Employee Profile Setup"));
        QCOMPARE(desk->password->windowTitle(), QString("Password Form"));
        QVERIFY(desk->show());
        verifyCentred(*desk->form, QSize(545, 483));
        click(desk->form->child<QPushButton>("Button3"));
        verifyCentred(*desk->password, QSize(227, 127));
    }

    void dataObjects() {
        data::Table& t1 = desk->form->table("Table1");
        QCOMPARE(t1.TableName(), QString("Staff"));
        QCOMPARE(t1.DatabaseName(), QString("Corvane2003"));
        QCOMPARE(t1.IndexFieldNames(), QString("Name"));
        QVERIFY(t1.Active()); // until the first showing closes it
        QCOMPARE(desk->form->dataSource("DataSource1").dataSet(), &t1);
        data::Table& t2 = desk->form->table("Table2");
        QCOMPARE(t2.TableName(), QString("Dept"));
        QCOMPARE(t2.IndexFieldNames(), QString("Department"));
        QVERIFY(t2.Active());
        QCOMPARE(desk->form->dataSource("DataSource2").dataSet(), &t2);
        QCOMPARE(t2.fields().size(), 1);
        QCOMPARE(desk->form->field("Table2Department").Size(), 30);
        // The password window's own table is closed again by its creation handler.
        data::Table& own = desk->password->table("StaffTable");
        QVERIFY(!own.Active());
        QCOMPARE(own.TableName(), QString("Staff"));
        QCOMPARE(desk->password->dataSource("DataSource1").dataSet(), &own);
        QStringList names;
        for (const auto* f : own.fields())
            names << f->name();
        QCOMPARE(names, QStringList({"StaffTableEmployee_No", "StaffTableName", "StaffTablePassword",
                                     "StaffTableLogin_Name"}));
    }

    void staffFields() {
        const QStringList fields = {
            "Employee_No",  "Name",      "Emp_Num",   "Password",    "EMail",       "Social_Security",
            "Address1",     "Address2",  "City",      "State",       "ZipCode",     "Phone",
            "Department",   "Alternate", "Fax",       "DOB",         "Login_Name",  "Comments",
            "Destination",  "Date_Left", "Time_Left", "Return_Date", "Return_Time", "Status",
            "Contact_Phone"};
        const QList<int> sizes = {0,  25, 0, 8, 35, 12, 25, 25, 25, 2,  12, 13, 25,
                                  13, 13, 0, 8, 1,  25, 15, 15, 15, 15, 3,  13};
        const auto& objects = desk->form->dataSet("Table1").fields();
        QCOMPARE(objects.size(), 25);
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(objects[i]->name(), "Table1" + fields[i]);
            QCOMPARE(objects[i]->FieldName(), fields[i]);
            if (sizes[i]) QCOMPARE(objects[i]->Size(), sizes[i]);
            QVERIFY(!objects[i]->Required());
        }
        QCOMPARE(desk->form->field("Table1Employee_No").dataType(), data::FieldType::AutoInc);
        QCOMPARE(desk->form->field("Table1Emp_Num").dataType(), data::FieldType::Float);
        QCOMPARE(desk->form->field("Table1DOB").dataType(), data::FieldType::DateTime);
        QCOMPARE(desk->form->field("Table1Comments").dataType(), data::FieldType::Memo);
        QCOMPARE(desk->form->field("Table1Social_Security").EditMaskText(), QString("000\\-00\\-0000;1;_"));
        for (const char* phone : {"Table1Phone", "Table1Alternate", "Table1Fax"})
            QCOMPARE(desk->form->field(phone).EditMaskText(), QString("!\\(999\\)000-0000;1;_"));
        QCOMPARE(desk->form->field("Table1DOB").EditMaskText(), QString("!99/99/00;1;_"));
    }

    void profileBoxes_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("limit"); // 0: none (number, memo, list)
        auto row = [](const char* box, const char* fieldName, const char* label, const char* hint,
                      int limit) { QTest::newRow(box) << box << fieldName << label << hint << limit; };
        row("EditEmployee_No", "Emp_Num", "Employee No", "Enter employee number here...", 0);
        row("EditName", "Name", "Last, First Name", "Enter employee last name, first name here...", 25);
        row("DBLookupCombo1", "Department", "Department", "Click down arrow to select department...", 0);
        row("EditAddress", "Address1", "Address", "", 25);
        row("EditCity", "City", "City", "Enter employee office city here...", 25);
        row("EditState", "State", "State", "Enter employee office state here...", 2);
        row("EditZipCode", "ZipCode", "Zip Code", "Enter employee office zip code here...", 12);
        row("EditSocial_Security", "Social_Security", "Social Security",
            "Optional. Enter employee social security number here...", 11);
        row("EditDOB", "DOB", "DOB", "Optional. Enter employee date of birth here...", 8);
        row("EditPhone", "Phone", "Phone", "Enter office telephone number here...", 13);
        row("EditAlternate", "Alternate", "Alternate", "Enter alternate telephone number here...", 13);
        row("EditFax", "Fax", "Fax", "Enter office fax number here...", 13);
        row("EditEMail", "EMail", "E-Mail Address", "Enter employee e-mail address here...", 35);
        row("DBMemo1", "Comments", "Comments", "Enter any comments here...", 0);
    }
    void profileBoxes() {
        QFETCH(QString, box);
        QFETCH(QString, fieldName);
        QFETCH(QString, label);
        QFETCH(QString, hint);
        QFETCH(int, limit);
        QVERIFY(desk->show());
        desk->retrieve("Baker"); // the limits are the open fields' widths
        QWidget* w = desk->box(box);
        QVERIFY(w->isVisible());
        QCOMPARE(w->toolTip(), hint);
        auto* link = dynamic_cast<controls::dbctl::TextFieldLink*>(w);
        QVERIFY(link);
        QCOMPARE(link->dataSource(), &desk->form->dataSource("DataSource1"));
        QCOMPARE(link->dataField(), fieldName);
        if (auto* edit = qobject_cast<DBEdit*>(w); edit && limit) {
            if (desk->form->field("Table1" + fieldName).EditMaskText().isEmpty())
                QCOMPARE(edit->maxLength(), limit);
            else
                QCOMPARE(edit->maxChars(), limit);
        }
        // Its label, bold navy, stands right above it.
        QLabel* caption = nullptr;
        for (QLabel* l : desk->form->findChildren<QLabel*>())
            if (l->text() == label && qAbs(l->x() - w->x()) <= 2 && l->geometry().bottom() < w->y() &&
                w->y() - l->geometry().bottom() < 8)
                caption = l;
        QVERIFY2(caption, qPrintable(label));
        QVERIFY(caption->font().bold());
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }

    void departmentBoxListsTheDepartments() {
        QVERIFY(desk->show());
        auto* combo = desk->department();
        QCOMPARE(combo->list()->dataSet(), &desk->form->dataSet("Table2"));
        QCOMPARE(combo->list()->listField(), QString("Department"));
        QVERIFY(combo->isEditable());
        desk->newProfile();
        combo->showPopup();
        QCOMPARE(combo->view()->model()->index(0, 0).data().toString(), QString("Accounts"));
        QCOMPARE(combo->view()->model()->index(2, 0).data().toString(), QString("Sales"));
        combo->hidePopup();
        // What it stores is cut to the 25 characters of Department.
        typeInto(combo, QString(30, 'D'));
        desk->form->table("Table1").UpdateRecord();
        QCOMPARE(desk->form->field("Table1Department").AsString(), QString(25, 'D'));
    }

    void memoHasAVerticalScrollBar() {
        auto* memo = desk->form->child<QPlainTextEdit>("DBMemo1");
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void dataNavigatorGroup() {
        QVERIFY(desk->show());
        auto* group = desk->form->child<QGroupBox>("GroupBox1");
        QCOMPARE(group->title(), QString("Data Navigator"));
        const QStringList buttons = {"Button2", "Button5", "Button7", "Button6", "Button3", "Button4"};
        const QStringList captions = {"New Profile", "Edit Profile", "Cancel", "Delete", "Password", "Save"};
        const QStringList hints = {"Click this button to add new employee to system...",
                                   "Click this button to edit existing record...",
                                   "",
                                   "Click this button to delete existing record...",
                                   "Click this button to view or change your password...",
                                   "Click this button to save changes and close screen..."};
        int x = -1;
        for (int i = 0; i < buttons.size(); ++i) {
            auto* b = desk->form->child<QPushButton>(buttons[i]);
            QCOMPARE(b->parentWidget(), group);
            QCOMPARE(b->text(), captions[i]);
            QCOMPARE(b->toolTip(), hints[i]);
            QVERIFY(b->x() > x); // left to right
            x = b->x();
            QVERIFY(!b->isDefault());
        }
    }

    void actionsGroup() {
        QVERIFY(desk->show());
        auto* group = desk->form->child<QGroupBox>("GroupBox2");
        QCOMPARE(group->title(), QString("Actions"));
        QStringList lines;
        for (QLabel* l : group->findChildren<QLabel*>())
            lines << l->text();
        QCOMPARE(lines, QStringList({"Enter Employee Last Name Here:", "(Then Press the Search Button)"}));
        auto* search = desk->form->child<QLineEdit>("Edit1");
        QVERIFY(!qobject_cast<DBEdit*>(search));
        QCOMPARE(search->toolTip(), QString("Enter employee last name here. Then press the Search button."));
        QCOMPARE(search->palette().color(QPalette::Base), QColor(Qt::white));
        auto* retrieve = desk->form->child<QPushButton>("Button1");
        QCOMPARE(retrieve->text(), QString("&Retrieve Employee Profile"));
        QCOMPARE(retrieve->toolTip(), QString("Click this button to retrieve employee record..."));
        QVERIFY(retrieve->x() > search->geometry().right());
        auto* mainMenu = desk->form->child<controls::BitBtn>("BitBtn1");
        QCOMPARE(mainMenu->text(), QString("&Main Menu"));
        QCOMPARE(mainMenu->kind(), QString("close"));
        auto* nav = desk->navigator();
        QCOMPARE(nav->dataSource(), &desk->form->dataSource("DataSource1"));
        const QList<DBNavigator::Button> shown = {DBNavigator::First,  DBNavigator::Prior,
                                                  DBNavigator::Next,   DBNavigator::Last,
                                                  DBNavigator::Cancel, DBNavigator::Refresh};
        QCOMPARE(nav->visibleButtons(), shown);
        const QStringList navHints = {"First record", "Prior record", "Next record",
                                      "Last record",  "Cancel edit",  "Refresh data"};
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(nav->button(shown[i])->toolTip(), navHints[i]);
    }

    // "&Main Menu" closes at once, asking and storing nothing.
    void mainMenuOnlyCloses() {
        QVERIFY(desk->show());
        desk->retrieve("Baker");
        desk->editProfile();
        typeInto(desk->edit("EditCity"), "Paris");
        click(desk->form->child<QPushButton>("BitBtn1"));
        QVERIFY(!desk->form->isVisible());
        QCOMPARE(desk->table1().State(), DataSetState::Edit);
        QVERIFY(desk->staff("Baker, Tom").value("City").isNull());
    }

    // The navigator's buttons take no focus, as in every window.
    void tabOrder() {
        QVERIFY(desk->show());
        desk->retrieve("Baker");
        const QStringList order = {"EditEmployee_No",
                                   "EditName",
                                   "DBLookupCombo1",
                                   "EditCity",
                                   "EditState",
                                   "EditZipCode",
                                   "EditSocial_Security",
                                   "EditDOB",
                                   "EditPhone",
                                   "EditAlternate",
                                   "EditFax",
                                   "EditEMail",
                                   "DBMemo1",
                                   "Button1",
                                   "Button3",
                                   "Button4",
                                   "Button2",
                                   "Button5",
                                   "Button6",
                                   "Button7",
                                   "Edit1",
                                   "BitBtn1",
                                   "EditAddress"};
        QStringList walked;
        QWidget* w = desk->box(order.first());
        for (int i = 0; i < order.size(); ++i) {
            QWidget* owner = w;
            while (owner && !order.contains(owner->objectName()))
                owner = owner->parentWidget();
            walked << (owner ? owner->objectName() : QString("(none)"));
            w = w->nextInFocusChain();
            while (w && (w->focusPolicy() & Qt::TabFocus) == 0)
                w = w->nextInFocusChain();
            // inner parts of a control (the combo's line, the navigator's buttons) belong to it
            while (w && owner && owner->isAncestorOf(w))
                w = w->nextInFocusChain();
            while (w && (w->focusPolicy() & Qt::TabFocus) == 0)
                w = w->nextInFocusChain();
        }
        QCOMPARE(walked, order);
    }

    void passwordWindowControls() {
        auto* label = desk->password->child<QLabel>("Label1");
        QCOMPARE(label->text(), QString("Password:"));
        QVERIFY(label->alignment() & Qt::AlignRight);
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        auto* box = desk->password->child<DBEdit>("EditPassword");
        QCOMPARE(box->dataSource(), &desk->password->dataSource("DataSource1"));
        QCOMPARE(box->dataField(), QString("Password"));
        QCOMPARE(box->toolTip(), QString("Enter a new password here..."));
        QCOMPARE(box->echoMode(), QLineEdit::Normal);
        QVERIFY(label->geometry().right() < box->x());
        auto* ok = desk->password->child<controls::BitBtn>("BitBtn1");
        QCOMPARE(ok->text(), QString("&OK"));
        QCOMPARE(ok->kind(), QString("close"));
        QCOMPARE(box->nextInFocusChain(), ok);
    }
};

QTEST_MAIN(TestProfileWindow)
#include "tst_profilewindow.moc"
