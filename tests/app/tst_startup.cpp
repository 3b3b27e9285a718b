// Start-up: the nineteen windows in their fixed order, each with its global instance, and the
// tables and queries that each one opens while it is created.
#include "app/mainform.h"
#include "app/startup.h"
#include "apptest.h"
#include "controls/application.h"
#include "controls/form.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
#include "records/passwordform.h"
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The datasets of a window as its data file lists them, in file order.
QStringList dataSetNames(const QString& window) {
    QFile file(QStringLiteral(":/layouts/%1.json").arg(window));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList names;
    const auto objects = QJsonDocument::fromJson(file.readAll()).object().value("objects").toArray();
    for (const auto& v : objects) {
        const QJsonObject o = v.toObject();
        if (o.value("class") == "Table" || o.value("class") == "Query") names << o.value("name").toString();
    }
    return names;
}

// The table a dataset reads: a table's name, or the table after FROM in a query's SQL.
QString source(data::DataSet& ds) {
    if (auto* t = dynamic_cast<data::Table*>(&ds)) return t->TableName();
    if (auto* q = dynamic_cast<data::Query*>(&ds)) {
        const QRegularExpression from(QStringLiteral("^FROM\\s+(\\S+)"));
        for (const QString& line : q->SQL())
            if (auto m = from.match(line); m.hasMatch()) return m.captured(1);
    }
    return QStringLiteral("?");
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<apptest::Session> session;

private slots:
    void init() {
        session = std::make_unique<apptest::Session>();
        session->createWindows();
    }
    void cleanup() { session.reset(); }

    void windowsAreCreatedInTheirFixedOrder() {
        QStringList made, classes;
        for (controls::Form* f : app::createdWindows()) {
            made << f->objectName();
            classes << QString::fromLatin1(f->metaObject()->className());
        }
        QCOMPARE(made, apptest::windowNames());
        QStringList expectedClasses;
        for (const QString& name : apptest::windowNames())
            expectedClasses << (name == "DSKSTAFF" ? QStringLiteral("TDSKSTAFF") : u'T' + name);
        QCOMPARE(classes, expectedClasses);
        // Each global instance is the window made under its name.
        for (controls::Form* f : app::createdWindows())
            QCOMPARE(apptest::instance(f->objectName()), f);
        QCOMPARE(static_cast<controls::Form*>(MainForm), app::createdWindows().first());
    }

    void noWindowIsVisibleBeforeTheLoop() {
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(session->env().shower().shown().isEmpty());
        QVERIFY(session->env().prompter().asked().isEmpty());
    }

    void eachWindowOpensItsDatasets_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("opened"); // dataset:table, in the order of opening
        QTest::newRow("MainForm") << "MainForm"
                                  << "Query1:Staff_Log Query2:Staff Query3:Staff Query4:Staff Query5:Staff";
        QTest::newRow("UpdateForm") << "UpdateForm"
                                    << "StaffTable:Staff";
        QTest::newRow("LocatorForm") << "LocatorForm"
                                     << "StaffTable:Staff";
        QTest::newRow("LocatorForm2") << "LocatorForm2"
                                      << "Query3:Dept";
        QTest::newRow("Form12") << "Form12"
                                << "Table2:Destination StaffTable:Staff Table5:Staff_Log";
        QTest::newRow("CheckInForm") << "CheckInForm"
                                     << "Table2:Destination StaffTable:Staff Table1:Staff_Log Query1:Staff";
        QTest::newRow("DestinationForm") << "DestinationForm"
                                         << "Table1:Destination";
        QTest::newRow("DeptForm") << "DeptForm"
                                  << "Table1:Dept";
        QTest::newRow("DSKSTAFF") << "DSKSTAFF"
                                  << "Table1:Staff Table2:Dept";
        QTest::newRow("PasswordForm") << "PasswordForm"
                                      << "StaffTable:Staff";
        QTest::newRow("InOfficeForm") << "InOfficeForm"
                                      << "StaffTable:Staff";
        QTest::newRow("EmployeeOutForm") << "EmployeeOutForm"
                                         << "StaffTable:Staff";
        QTest::newRow("MediaForm") << "MediaForm"
                                   << "Table1:Media";
        QTest::newRow("MsgForm") << "MsgForm"
                                 << "Query1:Staff";
        QTest::newRow("AddMsgForm") << "AddMsgForm"
                                    << "Table1:Staff Table2:Mess Table3:Staff Table4:Media Table5:Msgtype";
        QTest::newRow("MsgTypeForm") << "MsgTypeForm"
                                     << "Table1:Msgtype";
        QTest::newRow("AboutForm") << "AboutForm"
                                   << "";
        QTest::newRow("EmployeeForm") << "EmployeeForm"
                                      << "Table1:Staff";
        QTest::newRow("ImportForm") << "ImportForm"
                                    << "Table1:Staff";
    }

    void eachWindowOpensItsDatasets() {
        QFETCH(QString, window);
        QFETCH(QString, opened);
        controls::Form* form = apptest::instance(window);
        QVERIFY(form);
        // The password window closes its own table again in its creation handler.
        const bool closedAgain = window == "PasswordForm" && form->hasHandler("FormCreate");
        QStringList open;
        for (const QString& name : dataSetNames(window)) {
            data::DataSet& ds = form->dataSet(name);
            if (ds.Active() || (closedAgain && name == "StaffTable")) open << name + u':' + source(ds);
            QCOMPARE(ds.DatabaseName().isEmpty() ? QStringLiteral("Corvane2003") : ds.DatabaseName(),
                     QStringLiteral("Corvane2003"));
        }
        QCOMPARE(open.join(u' '), opened);
    }

    void storedDataObjects_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("expected");
        // The five report queries, line by line as stored.
        QTest::newRow("history query")
            << "MainForm"
            << "Query1"
            << "sql"
            << "SELECT Transaction_Id, Transaction_Date, Transaction_Time, Name, Department, Destination, "
               "[Date Left], Time_Left, Return_Date, Return_Time, Status, Contact_Phone|"
               "FROM Staff_Log Staff_log|ORDER BY Name, Transaction_Id";
        QTest::newRow("alphabetical query") << "MainForm"
                                            << "Query2"
                                            << "sql"
                                            << "SELECT Name, Department, Destination, Date_Left, Time_Left, "
                                               "Return_Date, Return_Time, Contact_Phone, Status|"
                                               "FROM Staff Staff|ORDER BY Name, Department, Date_Left";
        QTest::newRow("department query") << "MainForm"
                                          << "Query3"
                                          << "sql"
                                          << "SELECT Name, Department, Destination, Date_Left, Time_Left, "
                                             "Return_Date, Return_Time, Contact_Phone, Status|"
                                             "FROM Staff Staff|ORDER BY Department, Name, Date_Left";
        QTest::newRow("in-office query")
            << "MainForm"
            << "Query4"
            << "sql"
            << "SELECT Name, Department, Destination, Date_Left, Time_Left, Return_Date, Return_Time, Status|"
               "FROM Staff Staff|WHERE  Status = 'IN' |ORDER BY Name, Department";
        QTest::newRow("out-of-office query")
            << "MainForm"
            << "Query5"
            << "sql"
            << "SELECT Name, Department, Destination, Date_Left, Time_Left, Return_Date, Return_Time, "
               "Contact_Phone, Status|"
               "FROM Staff Staff|WHERE  Status = 'Out' |ORDER BY Name, Department, Date_Left";
        QTest::newRow("history fields")
            << "MainForm"
            << "Query1"
            << "fields"
            << "Transaction_Id,Transaction_Date 20,Transaction_Time 20,Name 25,Department 25,Destination 25,"
               "Date Left 15,Time_Left 15,Return_Date 15,Return_Time 15,Status 3,Contact_Phone 13";
        QTest::newRow("alphabetical fields")
            << "MainForm"
            << "Query2"
            << "fields"
            << "Name 25,Status 3,Department 25,Destination 25,Date_Left 15,Time_Left 15,Return_Date "
               "15,Return_Time 15,Contact_Phone 13";
        QTest::newRow("in-office fields") << "MainForm"
                                          << "Query4"
                                          << "fields"
                                          << "Name 25,Department 25,Destination 25,Date_Left 15,Time_Left "
                                             "15,Return_Date 15,Return_Time 15,Status 3";
        QTest::newRow("name picker query") << "CheckInForm"
                                           << "Query1"
                                           << "sql"
                                           << "SELECT Name|FROM Staff Staff|ORDER BY Name";
        QTest::newRow("department list query") << "LocatorForm2"
                                               << "Query3"
                                               << "sql"
                                               << "SELECT Department|FROM Dept Dept|ORDER BY Department";
        QTest::newRow("department list field") << "LocatorForm2"
                                               << "Query3"
                                               << "fields"
                                               << "Department 30";
        // Orders, filters, re-reading.
        QTest::newRow("search window index") << "EmployeeForm"
                                             << "Table1"
                                             << "order"
                                             << "index NAMEIndex";
        QTest::newRow("locator order") << "UpdateForm"
                                       << "StaffTable"
                                       << "order"
                                       << "fields Name";
        QTest::newRow("locator refresh") << "UpdateForm"
                                         << "StaffTable"
                                         << "autoRefresh"
                                         << "true";
        QTest::newRow("in-office filter") << "InOfficeForm"
                                          << "StaffTable"
                                          << "filter"
                                          << "Status = 'IN' on";
        QTest::newRow("out-of-office filter") << "EmployeeOutForm"
                                              << "StaffTable"
                                              << "filter"
                                              << "Status = 'Out' on";
        QTest::newRow("department board filter") << "LocatorForm2"
                                                 << "Table1"
                                                 << "filter"
                                                 << " off";
        QTest::newRow("message reader filter") << "MsgForm"
                                               << "Table1"
                                               << "filter"
                                               << " off";
        QTest::newRow("message type order") << "MsgTypeForm"
                                            << "Table1"
                                            << "order"
                                            << "fields Message Type";
        QTest::newRow("media order") << "AddMsgForm"
                                     << "Table4"
                                     << "order"
                                     << "fields Media_Type";
        QTest::newRow("message entry types unordered") << "AddMsgForm"
                                                       << "Table5"
                                                       << "order"
                                                       << "fields ";
        QTest::newRow("import staff unordered") << "ImportForm"
                                                << "Table1"
                                                << "order"
                                                << "fields ";
        QTest::newRow("import source") << "ImportForm"
                                       << "SourceTable"
                                       << "table"
                                       << "";
        // Field objects: sizes and masks of the windows that declare them.
        QTest::newRow("check-out phone mask") << "CheckInForm"
                                              << "StaffTableContact_Phone"
                                              << "field"
                                              << "13 !\\(999\\)000-0000;1;_";
        QTest::newRow("check-in phone no mask") << "Form12"
                                                << "StaffTableContact_Phone"
                                                << "field"
                                                << "13 ";
        QTest::newRow("check-in date mask") << "Form12"
                                            << "StaffTableDate_Left"
                                            << "field"
                                            << "15 !99/99/00;1;_";
        QTest::newRow("locator time mask") << "UpdateForm"
                                           << "StaffTableTime_Left"
                                           << "field"
                                           << "15 !90:00;1;_";
        QTest::newRow("board no mask") << "LocatorForm"
                                       << "StaffTableReturn_Date"
                                       << "field"
                                       << "15 ";
        QTest::newRow("profile social security") << "DSKSTAFF"
                                                 << "Table1Social_Security"
                                                 << "field"
                                                 << "12 000\\-00\\-0000;1;_";
        QTest::newRow("profile fax") << "DSKSTAFF"
                                     << "Table1Fax"
                                     << "field"
                                     << "13 !\\(999\\)000-0000;1;_";
        QTest::newRow("profile birth date") << "DSKSTAFF"
                                            << "Table1DOB"
                                            << "field"
                                            << "0 !99/99/00;1;_";
        QTest::newRow("history date default width") << "Form12"
                                                    << "Table5Transaction_Date"
                                                    << "field"
                                                    << "20 ";
        QTest::newRow("history date left") << "CheckInForm"
                                           << "Table1DateLeft"
                                           << "field"
                                           << "15 ";
        QTest::newRow("import city width") << "ImportForm"
                                           << "Table1City"
                                           << "field"
                                           << "50 ";
        QTest::newRow("import address2 width") << "ImportForm"
                                               << "Table1Address2"
                                               << "field"
                                               << "50 ";
        QTest::newRow("message phone mask") << "AddMsgForm"
                                            << "Table2Phone"
                                            << "field"
                                            << "14 !\\(999\\)000-0000;1;_";
        QTest::newRow("reader phone no mask") << "MsgForm"
                                              << "Table1Phone"
                                              << "field"
                                              << "14 ";
        QTest::newRow("reader message type") << "MsgForm"
                                             << "Table1MessageType"
                                             << "field"
                                             << "25 ";
        QTest::newRow("entry media list") << "AddMsgForm"
                                          << "Table4Media_Type"
                                          << "field"
                                          << "35 ";
        QTest::newRow("media list width") << "MediaForm"
                                          << "Table1Media_Type"
                                          << "display"
                                          << "57";
        QTest::newRow("type list width") << "MsgTypeForm"
                                         << "Table1MessageType"
                                         << "display"
                                         << "51";
        QTest::newRow("password fields") << "PasswordForm"
                                         << "StaffTable"
                                         << "fields"
                                         << "Employee_No,Name 25,Password 8,Login_Name 8";
        QTest::newRow("entry staff fields") << "AddMsgForm"
                                            << "Table1"
                                            << "fields"
                                            << "Employee_No,Name 25,Password 8,EMail 35";
        QTest::newRow("entry staff key read-only") << "AddMsgForm"
                                                   << "Table1Employee_No"
                                                   << "readOnly"
                                                   << "true";
        // Data sources.
        QTest::newRow("password source") << "PasswordForm"
                                         << "DataSource1"
                                         << "dataSet"
                                         << "StaffTable";
        QTest::newRow("media source") << "AddMsgForm"
                                      << "MediaDataSource"
                                      << "dataSet"
                                      << "Table4";
        QTest::newRow("message type source") << "AddMsgForm"
                                             << "MsgSource"
                                             << "dataSet"
                                             << "Table5";
        QTest::newRow("picker source") << "AddMsgForm"
                                       << "DataSource4"
                                       << "dataSet"
                                       << "Table3";
        QTest::newRow("reader names") << "MsgForm"
                                      << "DataSource2"
                                      << "dataSet"
                                      << "Query1";
        QTest::newRow("department names") << "LocatorForm2"
                                          << "DataSource3"
                                          << "dataSet"
                                          << "Query3";
        QTest::newRow("search window source") << "EmployeeForm"
                                              << "DataSource1"
                                              << "dataSet"
                                              << "Table1";
        QTest::newRow("import source table") << "ImportForm"
                                             << "DataSource4"
                                             << "dataSet"
                                             << "SourceTable";
    }

    void storedDataObjects() {
        QFETCH(QString, window);
        QFETCH(QString, object);
        QFETCH(QString, what);
        QFETCH(QString, expected);
        controls::Form* form = apptest::instance(window);
        QVERIFY(form);
        QString actual;
        if (what == "sql") {
            actual = form->query(object).SQL().join(u'|');
        } else if (what == "fields") {
            QStringList list;
            for (const data::FieldDef& d : form->dataSet(object).fieldDefs())
                list << (d.type == data::FieldType::String ? d.fieldName + u' ' + QString::number(d.size)
                                                           : d.fieldName);
            actual = list.join(u',');
        } else if (what == "order") {
            data::Table& t = form->table(object);
            actual = t.IndexName().isEmpty() ? "fields " + t.IndexFieldNames() : "index " + t.IndexName();
        } else if (what == "autoRefresh") {
            actual = form->table(object).AutoRefresh() ? "true" : "false";
        } else if (what == "filter") {
            data::Table& t = form->table(object);
            actual = t.Filter() + (t.Filtered() ? " on" : " off");
        } else if (what == "table") {
            actual = form->table(object).TableName();
            QVERIFY(!form->table(object).Active());
        } else if (what == "field") {
            data::Field& f = form->field(object);
            actual = QString::number(f.isText() ? f.Size() : 0) + u' ' + f.EditMaskText();
        } else if (what == "display") {
            actual = QString::number(form->field(object).DisplayWidth());
        } else if (what == "readOnly") {
            actual = form->field(object).ReadOnly() ? "true" : "false";
        } else if (what == "dataSet") {
            data::DataSet* ds = form->dataSource(object).dataSet();
            actual = ds ? ds->name() : QString();
        }
        QCOMPARE(actual, expected);
    }

    void theSearchWindowKeepsStaffOpenUnseen() {
        auto& db = session->db();
        controls::Form* form = apptest::instance("EmployeeForm");
        QCOMPARE(form->windowTitle(), QStringLiteral("Employee Shearch Form"));
        data::Table& t = form->table("Table1");
        QVERIFY(t.Active());
        QCOMPARE(t.IndexName(), QStringLiteral("NAMEIndex"));
        // It stands on the first employee in name order, shown in its name box.
        const QString first = db.scalar("SELECT MIN(Name) FROM Staff").toString();
        QVERIFY(!first.isEmpty());
        QCOMPARE(t.FieldByName("Name")->AsString(), first);
        QCOMPARE(form->child<QComboBox>("DBComboBox1")->currentText(), first);
        QCOMPARE(form->child<QPushButton>("Button1")->text(), QStringLiteral("Select"));
        QVERIFY(!form->child<QPushButton>("Button1")->property("onClick").isValid());
        QVERIFY(!form->isVisible());
    }

    void identityOfTheProgram() {
        QCOMPARE(controls::applicationTitle(), QStringLiteral("The Quorvale"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("The Quorvale"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("8.1.0.0"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Brindlow Development Group"));
        QCOMPARE(MainForm->windowTitle(), QStringLiteral("Main Menu"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
