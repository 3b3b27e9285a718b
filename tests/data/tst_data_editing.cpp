// Editing through tables and fields: states, the browse check, posting, field values,
// errors, other desks' changes, events and data links.
#include "datatest.h"
#include "data/datasource.h"
#include "data/errors.h"
#include "data/formatsettings.h"
#include "data/schemadef.h"
#include <QtTest>

using namespace datatest;
using data::DataSetState;

namespace {

// A control as the data-aware boxes are: it may hold typed text not yet in the row.
class RecordingLink : public data::DataLink {
public:
    QStringList log;
    QString field; // pending text goes into this field on updateData
    QString pending;
    bool hasPending = false;
    void activeChanged() override { log << "active"; }
    void stateChanged() override { log << "state"; }
    void recordChanged(data::Field* f) override { log << (f ? "record:" + f->FieldName() : "record"); }
    void dataSetScrolled() override { log << "scrolled"; }
    void dataSetChanged() override { log << "changed"; }
    void updateData() override {
        log << "update";
        if (hasPending) {
            hasPending = false;
            dataSet()->FieldByName(field)->SetAsString(pending);
        }
    }
};

} // namespace

class TstDataEditing : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void browseCheck_data();
    void browseCheck();
    void pendingBoxTextGoesIntoTheRow();
    void editStates();
    void editOnEmptyTableInserts();
    void cancelDropsChanges();
    void requiredFields_data();
    void requiredFields();
    void textIsCutToFieldSize_data();
    void textIsCutToFieldSize();
    void emptyTextIsStoredAsNull();
    void keyViolationKeepsInsert();
    void insertGetsNewKey();
    void errorTexts_data();
    void errorTexts();
    void floatParsing_data();
    void floatParsing();
    void dateField_data();
    void dateField();
    void memoKeepsLongText();
    void clearEmptiesAField();
    void anotherDeskChangedTheRow_data();
    void anotherDeskChangedTheRow();
    void editRereadsTheRow();
    void deleteOfRowChangedElsewhere();
    void undeclaredColumnsAreLeftAlone();
    void widerColumnsStillOpen();
    void closeEventsAndPendingEdit();
    void destructorRunsNoEvents();
    void dataLinkNotifications();
    void dataSourceChangesDataSet();
    void disableControlsHoldsNotifications();
};

void TstDataEditing::browseCheck_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("change");
    const QStringList ops{"First",  "Prior",  "Next",      "Last",   "Refresh", "FindNearest",
                          "Locate", "Insert", "IndexName", "Filter", "Filtered"};
    for (const QString& op : ops) {
        QTest::newRow(qPrintable(op + ", changed row: posted")) << op << true;
        QTest::newRow(qPrintable(op + ", unchanged row: dropped")) << op << false;
    }
}

void TstDataEditing::browseCheck() {
    QFETCH(QString, operation);
    QFETCH(bool, change);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    t->Open();
    t->Next(); // Baker
    t->Edit();
    if (change) t->FieldByName("Status")->SetAsString("Out");
    if (operation == "First")
        t->First();
    else if (operation == "Prior")
        t->Prior();
    else if (operation == "Next")
        t->Next();
    else if (operation == "Last")
        t->Last();
    else if (operation == "Refresh")
        t->Refresh();
    else if (operation == "FindNearest")
        t->FindNearest({"A"});
    else if (operation == "Locate")
        t->Locate("Name", "Abbott, Helen");
    else if (operation == "Insert")
        t->Insert();
    else if (operation == "IndexName")
        t->SetIndexName("NAMEIndex");
    else if (operation == "Filter")
        t->SetFilter("Status <> 'x'");
    else if (operation == "Filtered")
        t->SetFiltered(true);
    QCOMPARE(t->State(), operation == "Insert" ? DataSetState::Insert : DataSetState::Browse);
    QCOMPARE(db.scalar("SELECT Status FROM Staff WHERE Name = 'Baker, Tom'").toString(),
             QString(change ? "Out" : "IN"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 2);
}

void TstDataEditing::pendingBoxTextGoesIntoTheRow() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    data::DataSource src("DataSource1");
    src.setDataSet(t.get());
    RecordingLink box;
    box.field = "Destination";
    box.setDataSource(&src);
    t->Open();
    t->Edit();
    box.pending = "Boston";
    box.hasPending = true;
    t->Next(); // the box's text is written, the row posted, then the move
    QCOMPARE(db.scalar("SELECT Destination FROM Staff WHERE Name = 'Abbott, Helen'").toString(),
             QString("Boston"));
    QCOMPARE(name(*t), QString("Baker, Tom"));
    // and before a post
    t->Edit();
    box.pending = "Denver";
    box.hasPending = true;
    t->Post();
    QCOMPARE(db.scalar("SELECT Destination FROM Staff WHERE Name = 'Baker, Tom'").toString(),
             QString("Denver"));
}

void TstDataEditing::editStates() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    QCOMPARE(t->State(), DataSetState::Browse);
    t->Edit();
    QCOMPARE(t->State(), DataSetState::Edit);
    t->FieldByName("City")->SetAsString("Boston");
    t->Edit(); // nothing in edit: the typed value stays
    QCOMPARE(t->FieldByName("City")->AsString(), QString("Boston"));
    QVERIFY(t->Modified());
    t->Post();
    QCOMPARE(t->State(), DataSetState::Browse);
    QVERIFY(!t->Modified());
    QCOMPARE(db.scalar("SELECT City FROM Staff").toString(), QString("Boston"));
    t->Insert();
    QCOMPARE(t->State(), DataSetState::Insert);
    t->Edit(); // nothing in insert
    QCOMPARE(t->State(), DataSetState::Insert);
    QCOMPARE(t->FieldByName("Name")->AsString(), QString());
    t->Delete(); // cancels an insert
    QCOMPARE(t->State(), DataSetState::Browse);
    QCOMPARE(name(*t), QString("Abbott, Helen"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
}

void TstDataEditing::editOnEmptyTableInserts() {
    testsupport::TestDatabase db;
    auto t = staffLog();
    t->Open();
    t->Edit();
    QCOMPARE(t->State(), DataSetState::Insert);
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    t->Post();
    QCOMPARE(db.scalar("SELECT Name FROM Staff_Log").toString(), QString("Abbott, Helen"));
    // Edit then Insert, as the Save commands do: the unchanged edit is dropped
    t->Edit();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Baker, Tom");
    t->Post();
    t->Refresh();
    t->Cancel();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 2);
    QCOMPARE(name(*t), QString("Baker, Tom"));
}

void TstDataEditing::cancelDropsChanges() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"City", "Boston"}});
    auto t = staff();
    t->Open();
    t->Edit();
    t->FieldByName("City")->SetAsString("Denver");
    t->Cancel();
    QCOMPARE(t->FieldByName("City")->AsString(), QString("Boston"));
    t->Cancel(); // nothing pending: no effect
    QCOMPARE(t->State(), DataSetState::Browse);
    QCOMPARE(db.scalar("SELECT City FROM Staff").toString(), QString("Boston"));
}

void TstDataEditing::requiredFields_data() {
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing: the first in table order") << QStringList{} << "Field 'Name' must have a value";
    QTest::newRow("name only") << QStringList{"Name"} << "Field 'Emp_Num' must have a value";
    QTest::newRow("name, number") << QStringList{"Name", "Emp_Num"} << "Field 'Department' must have a value";
    QTest::newRow("all three") << QStringList{"Name", "Emp_Num", "Department"} << "";
}

void TstDataEditing::requiredFields() {
    QFETCH(QStringList, given);
    QFETCH(QString, expected);
    testsupport::TestDatabase db;
    auto t = staff();
    for (const char* f : {"Emp_Num", "Name", "Department"})
        t->FindField(f)->SetRequired(true);
    t->Open();
    t->Insert();
    if (given.contains("Name")) t->FieldByName("Name")->SetAsString("Abbott, Helen");
    if (given.contains("Emp_Num")) t->FieldByName("Emp_Num")->SetAsString("17");
    if (given.contains("Department")) t->FieldByName("Department")->SetAsString("Sales");
    if (expected.isEmpty()) {
        t->Post();
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
        return;
    }
    QCOMPARE(errorOf<data::DatabaseError>([&] { t->Post(); }), expected);
    QCOMPARE(t->State(), DataSetState::Insert);
    if (given.contains("Name")) QCOMPARE(name(*t), QString("Abbott, Helen"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
}

void TstDataEditing::textIsCutToFieldSize_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("name 25") << "Name"
                             << "Abcdefghijklmnopqrstuvwxyz0123"
                             << "Abcdefghijklmnopqrstuvwxy";
    QTest::newRow("status 3") << "Status"
                              << "Outside"
                              << "Out";
    QTest::newRow("date left 15") << "Date_Left"
                                  << "Wednesday, March 11, 2026"
                                  << "Wednesday, Marc";
    QTest::newRow("fits") << "State"
                          << "MA"
                          << "MA";
}

void TstDataEditing::textIsCutToFieldSize() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    t->Edit();
    t->FieldByName(field)->SetAsString(text);
    QCOMPARE(t->FieldByName(field)->AsString(), stored);
    t->Post();
    QCOMPARE(db.scalar(QString("SELECT \"%1\" FROM Staff").arg(field)).toString(), stored);
}

void TstDataEditing::emptyTextIsStoredAsNull() {
    // several employees without password or e-mail, although both indexes are unique
    testsupport::TestDatabase db;
    auto t = staff();
    t->Open();
    for (const char* n : {"Abbott, Helen", "Baker, Tom", "Clark, Joe"}) {
        t->Insert();
        t->FieldByName("Name")->SetAsString(n);
        t->FieldByName("Password")->SetAsString("");
        t->FieldByName("EMail")->SetAsString(QString());
        t->Post();
    }
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Password IS NULL AND EMail IS NULL").toInt(), 3);
    QVERIFY(t->FieldByName("EMail")->IsNull());
}

void TstDataEditing::keyViolationKeepsInsert() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    t->FieldByName("City")->SetAsString("Boston");
    QCOMPARE(errorOf<data::EngineError>([&] { t->Post(); }),
             QString("Key violation. Another row already has the same Name: enter another value, or press "
                     "Esc to abandon the change"));
    QCOMPARE(kindOf([&] { t->Post(); }), data::ErrorKind::KeyViolation);
    QCOMPARE(t->State(), DataSetState::Insert);
    QCOMPARE(t->FieldByName("City")->AsString(), QString("Boston"));
    t->FieldByName("Name")->SetAsString("Abbott, Helena");
    t->Post();
    QCOMPARE(db.scalar("SELECT City FROM Staff WHERE Name = 'Abbott, Helena'").toString(), QString("Boston"));
    // and an edit that clashes stays in edit
    t->Edit();
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    QCOMPARE(errorOf<data::EngineError>([&] { t->Post(); }),
             QString("Key violation. Another row already has the same Name: enter another value, or press "
                     "Esc to abandon the change"));
    QCOMPARE(t->State(), DataSetState::Edit);
    QCOMPARE(name(*t), QString("Abbott, Helen"));
}

void TstDataEditing::insertGetsNewKey() {
    testsupport::TestDatabase db;
    db.addStaff("Zed");
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    t->Post();
    const QVariant id = db.scalar("SELECT Employee_No FROM Staff WHERE Name = 'Abbott, Helen'");
    QCOMPARE(t->FieldByName("Employee_No")->AsInteger(), id.toInt());
    QCOMPARE(name(*t), QString("Abbott, Helen")); // the new row is current
    t->Next();
    QCOMPARE(name(*t), QString("Zed"));
    // without a field object for the key the row key is still known
    auto u = staff("Name", {"Name", "City"});
    u->Open();
    u->Insert();
    u->FieldByName("Name")->SetAsString("Baker, Tom");
    u->Post();
    QCOMPARE(u->CurrentKey().last().toInt(),
             db.scalar("SELECT Employee_No FROM Staff WHERE Name = 'Baker, Tom'").toInt());
}

void TstDataEditing::errorTexts_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::newRow("move a closed table") << "closed-next"
                                         << "StaffTable: Cannot perform this operation on a closed dataset";
    QTest::newRow("edit a closed table") << "closed-edit"
                                         << "StaffTable: Cannot perform this operation on a closed dataset";
    QTest::newRow("post in browse") << "post"
                                    << "StaffTable: Dataset not in edit or insert mode";
    QTest::newRow("set a field in browse") << "set"
                                           << "StaffTable: Dataset not in edit or insert mode";
    QTest::newRow("clear a field in browse") << "clear"
                                             << "StaffTable: Dataset not in edit or insert mode";
    QTest::newRow("delete on empty") << "delete-empty"
                                     << "StaffTable: Cannot perform this operation on an empty dataset";
    QTest::newRow("no such field") << "field"
                                   << "StaffTable: Field 'Nope' not found";
    QTest::newRow("not a number") << "float"
                                  << "'12x' is not a valid floating point value for field 'Emp_Num'";
    QTest::newRow("unknown alias") << "alias"
                                   << "Unknown database alias: Nowhere";
}

void TstDataEditing::errorTexts() {
    QFETCH(QString, action);
    testsupport::TestDatabase db;
    if (action != "delete-empty") db.addStaff("Abbott, Helen");
    auto t = staff();
    if (!action.startsWith("closed")) t->Open();
    const QString msg = errorOf([&] {
        if (action == "closed-next")
            t->Next();
        else if (action == "closed-edit")
            t->Edit();
        else if (action == "post")
            t->Post();
        else if (action == "set")
            t->FieldByName("City")->SetAsString("x");
        else if (action == "clear")
            t->FieldByName("City")->Clear();
        else if (action == "delete-empty")
            t->Delete();
        else if (action == "field")
            t->FieldByName("Nope");
        else if (action == "float") {
            t->Edit();
            t->FieldByName("Emp_Num")->SetAsString("12x");
        } else if (action == "alias") {
            data::Table u("Table1");
            u.SetDatabaseName("Nowhere");
            u.SetTableName("Staff");
            u.Open();
        }
    });
    QTEST(msg, "expected");
}

void TstDataEditing::floatParsing_data() {
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "."
                           << "12.5" << true << 12.5 << "12.5";
    QTest::newRow("whole") << "."
                           << "1234" << true << 1234.0 << "1234";
    QTest::newRow("signed, blanks") << "."
                                    << " -4 " << true << -4.0 << "-4";
    QTest::newRow("exponent") << "."
                              << "1e3" << true << 1000.0 << "1000";
    QTest::newRow("a tenth") << "."
                             << "0.1" << true << 0.1 << "0.1";
    QTest::newRow("empty: no value") << "."
                                     << "" << true << 0.0 << "";
    QTest::newRow("letters") << "."
                             << "abc" << false << 0.0 << "";
    QTest::newRow("comma with point settings") << "."
                                               << "1,5" << false << 0.0 << "";
    QTest::newRow("comma settings") << ","
                                    << "1,5" << true << 1.5 << "1,5";
    QTest::newRow("point with comma settings") << ","
                                               << "1.5" << false << 0.0 << "";
}

void TstDataEditing::floatParsing() {
    QFETCH(QString, decimal);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    testsupport::TestDatabase db;
    db.addDestination("Boston");
    data::formatSettings().decimalSeparator = decimal.at(0);
    auto t = table("Table1", locator::destinationTable(), "Destination");
    t->Open();
    t->Edit();
    data::Field* f = t->FieldByName("Longitude");
    if (!valid) {
        QCOMPARE(errorOf<data::DatabaseError>([&] { f->SetAsString(text); }),
                 QString("'%1' is not a valid floating point value for field 'Longitude'").arg(text));
        QVERIFY(f->IsNull());
        return;
    }
    f->SetAsString(text);
    QTEST(f->AsString(), "shown");
    t->Post();
    if (text.isEmpty())
        QVERIFY(db.scalar("SELECT Longitude FROM Destination").isNull());
    else
        QCOMPARE(db.scalar("SELECT Longitude FROM Destination").toDouble(), value);
    QCOMPARE(f->AsFloat(), value);
}

void TstDataEditing::dateField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("shown");
    QTest::newRow("masked text") << "03/11/70" << QDate(1970, 3, 11) << "3/11/70";
    QTest::newRow("short date") << "7/4/26" << QDate(2026, 7, 4) << "7/4/26";
    QTest::newRow("blank positions of the mask") << " 3/ 1/99" << QDate(1999, 3, 1) << "3/1/99";
    QTest::newRow("untouched mask: no date") << "  /  /  " << QDate() << "";
    QTest::newRow("not a date") << "13/45/70" << QDate() << "error";
}

void TstDataEditing::dateField() {
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    QFETCH(QString, shown);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    t->Edit();
    data::Field* dob = t->FieldByName("DOB");
    if (shown == "error") {
        QCOMPARE(errorOf<data::DatabaseError>([&] { dob->SetAsString(typed); }),
                 QString("'%1' is not a valid date").arg(typed));
        return;
    }
    dob->SetAsString(typed);
    t->Post();
    t->Refresh();
    QCOMPARE(dob->Value().toDateTime().date(), date);
    QCOMPARE(dob->AsString(), shown);
    QCOMPARE(db.scalar("SELECT DOB FROM Staff").isNull(), date.isNull());
}

void TstDataEditing::memoKeepsLongText() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    t->Edit();
    const QString text = QString("Line of comments. ").repeated(100) + "\nEnd";
    t->FieldByName("Comments")->SetAsString(text);
    t->Post();
    QCOMPARE(db.scalar("SELECT Comments FROM Staff").toString(), text);
    QCOMPARE(t->FieldByName("Comments")->AsString(), text);
}

void TstDataEditing::clearEmptiesAField() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Date_Left", "3/11/26"}, {"Emp_Num", 5}});
    auto t = staff();
    t->Open();
    t->Edit();
    t->FieldByName("Date_Left")->Clear();
    t->FieldByName("Emp_Num")->Clear();
    t->Post();
    QVERIFY(db.scalar("SELECT Date_Left FROM Staff").isNull());
    QVERIFY(db.scalar("SELECT Emp_Num FROM Staff").isNull());
}

void TstDataEditing::anotherDeskChangedTheRow_data() {
    QTest::addColumn<QString>("otherDesk");
    QTest::addColumn<QString>("expected");
    QTest::newRow("changed") << "UPDATE Staff SET Status = 'Out'"
                             << "changed by another user";
    QTest::newRow("emptied a value") << "UPDATE Staff SET Department = NULL"
                                     << "changed by another user";
    QTest::newRow("deleted") << "DELETE FROM Staff"
                             << "deleted by another user";
}

void TstDataEditing::anotherDeskChangedTheRow() {
    QFETCH(QString, otherDesk);
    QFETCH(QString, expected);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Department", "Sales"}});
    auto t = staff();
    t->Open();
    t->Edit();
    t->FieldByName("City")->SetAsString("Boston");
    db.exec(otherDesk); // a second process, between our read and our post
    const QString msg = errorOf<data::EngineError>([&] { t->Post(); });
    QVERIFY2(msg.contains(expected), qPrintable(msg));
    QCOMPARE(kindOf([&] { t->Post(); }), data::ErrorKind::Conflict);
    QCOMPARE(t->State(), DataSetState::Edit);
    QCOMPARE(t->FieldByName("City")->AsString(), QString("Boston"));
    // nothing of ours was stored over theirs
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE City = 'Boston'").toInt(), 0);
    if (!otherDesk.startsWith("DELETE")) {
        // cancel, edit again on the row as it is now: stored
        t->Cancel();
        t->Edit();
        t->FieldByName("City")->SetAsString("Boston");
        t->Post();
        QCOMPARE(db.scalar("SELECT City FROM Staff").toString(), QString("Boston"));
    }
}

void TstDataEditing::editRereadsTheRow() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    db.exec("UPDATE Staff SET Status = 'Out', Destination = 'Boston'");
    QCOMPARE(t->FieldByName("Status")->AsString(), QString("IN")); // as last read
    t->Edit(); // re-reads: the edit starts from what is stored
    QCOMPARE(t->FieldByName("Status")->AsString(), QString("Out"));
    t->FieldByName("City")->SetAsString("Denver");
    t->Post();
    QCOMPARE(db.scalar("SELECT Destination || City FROM Staff").toString(), QString("BostonDenver"));
    // a row deleted since it was read cannot be edited
    db.exec("DELETE FROM Staff");
    QVERIFY(errorOf<data::EngineError>([&] { t->Edit(); }).contains("deleted by another user"));
    QCOMPARE(t->State(), DataSetState::Browse);
    QVERIFY(t->IsEmpty());
}

void TstDataEditing::deleteOfRowChangedElsewhere() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    db.exec("UPDATE Staff SET Status = 'Out'");
    // the row the user sees goes, by its key
    t->Delete();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
}

void TstDataEditing::undeclaredColumnsAreLeftAlone() {
    // a table with a few field objects reads and writes only those columns (and the key)
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Comments", "old"}});
    auto t = staff("Name", {"Name", "Status"});
    t->Open();
    QCOMPARE(t->fields().size(), 2);
    t->Edit();
    t->FieldByName("Status")->SetAsString("Out");
    db.exec("UPDATE Staff SET Comments = 'changed by the other desk'");
    t->Post(); // the other desk's column is no part of ours: no conflict, not overwritten
    QCOMPARE(db.scalar("SELECT Status || '/' || Comments FROM Staff").toString(),
             QString("Out/changed by the other desk"));
}

void TstDataEditing::widerColumnsStillOpen() {
    testsupport::TestDatabase db;
    data::TableDef wide;
    wide.name = "Wide";
    wide.fields = {data::column("Id", data::FieldType::AutoInc), data::textColumn("Name", 60),
                   data::textColumn("Extra", 9)};
    data::createTables(data::Database::forAlias(alias), {wide});
    const QString longName = "Featherstonehaugh-Cholmondeley, Alexandra";
    db.exec("INSERT INTO Wide (Name, Extra) VALUES (?, 'x')", {longName});
    data::Table t("Table1");
    t.SetDatabaseName(alias);
    t.SetTableName("Wide");
    data::FieldDef f;
    f.name = "Table1Name";
    f.fieldName = "Name";
    f.size = 25;
    t.addFieldDef(f);
    t.SetIndexFieldNames("Name");
    t.Open();
    QCOMPARE(t.FieldByName("Name")->AsString(), longName); // as stored
    t.Edit();
    t.FieldByName("Name")->SetAsString(longName); // set by the program: cut to 25
    t.Post();
    QCOMPARE(db.scalar("SELECT Name FROM Wide").toString(), longName.left(25));
}

void TstDataEditing::closeEventsAndPendingEdit() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    QStringList events;
    t->setEvent(data::DataSetEvent::BeforeOpen, [&](data::DataSet&) { events << "BeforeOpen"; });
    t->setEvent(data::DataSetEvent::AfterOpen,
                [&](data::DataSet& ds) { events << "AfterOpen:" + ds.FieldByName("Name")->AsString(); });
    auto guard = [&](data::DataSet& ds) {
        events << QString("Close:%1")
                      .arg(ds.State() == DataSetState::Edit ? "edit"
                           : ds.Active()                    ? "browse"
                                                            : "closed");
    };
    t->setEvent(data::DataSetEvent::BeforeClose, guard);
    t->setEvent(data::DataSetEvent::AfterClose, guard);
    t->Open();
    t->Edit();
    t->FieldByName("City")->SetAsString("Boston");
    t->SetActive(false);
    QCOMPARE(events, (QStringList{"BeforeOpen", "AfterOpen:Abbott, Helen", "Close:edit", "Close:closed"}));
    QVERIFY(db.scalar("SELECT City FROM Staff").isNull()); // the pending edit is lost
    QVERIFY(!t->Active());
    t->Close(); // closed: nothing
    QCOMPARE(events.size(), 4);
}

void TstDataEditing::destructorRunsNoEvents() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    int closes = 0;
    {
        auto t = staff();
        t->setEvent(data::DataSetEvent::BeforeClose, [&](data::DataSet&) { ++closes; });
        t->Open();
        t->Edit();
        t->FieldByName("City")->SetAsString("Boston");
    }
    QCOMPARE(closes, 0);
    QVERIFY(db.scalar("SELECT City FROM Staff").isNull());
}

void TstDataEditing::dataLinkNotifications() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    data::DataSource src("DataSource1");
    QVERIFY(src.AutoEdit());
    src.setDataSet(t.get());
    RecordingLink link;
    link.setDataSource(&src);
    QCOMPARE(link.dataSet(), t.get());
    link.log.clear();
    t->Open();
    QCOMPARE(link.log, QStringList{"active"});
    link.log.clear();
    t->Next();
    QCOMPARE(link.log, QStringList{"scrolled"});
    link.log.clear();
    t->Edit();
    QCOMPARE(link.log, QStringList{"state"});
    link.log.clear();
    t->FieldByName("City")->SetAsString("Boston");
    QCOMPARE(link.log, QStringList{"record:City"});
    link.log.clear();
    t->Post();
    QVERIFY(link.log.startsWith("update"));
    QVERIFY(link.log.contains("state"));
    QVERIFY(link.log.contains("changed"));
    link.log.clear();
    t->SetFilter("Status = 'IN'"); // other rows: the grids read them afresh
    QVERIFY(link.log.contains("changed"));
    link.log.clear();
    t->Refresh();
    QVERIFY(link.log.contains("changed"));
    link.log.clear();
    t->Close();
    QCOMPARE(link.log, QStringList{"active"});
}

void TstDataEditing::dataSourceChangesDataSet() {
    // the password window's source is pointed at the profile window's table at run time
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Password", "one"}});
    auto own = staff();
    auto profile = staff();
    own->Open();
    profile->Open();
    data::DataSource src("DataSource1");
    src.setDataSet(own.get());
    RecordingLink link;
    link.setDataSource(&src);
    link.log.clear();
    src.setDataSet(profile.get());
    QCOMPARE(link.log, QStringList{"active"});
    QCOMPARE(link.dataSet(), profile.get());
    link.log.clear();
    own->Next();
    own->First();
    QVERIFY(link.log.isEmpty()); // the old table no longer tells it anything
    profile->Edit();
    QCOMPARE(link.log, QStringList{"state"});
    src.setDataSet(nullptr);
    QCOMPARE(link.dataSet(), nullptr);
}

void TstDataEditing::disableControlsHoldsNotifications() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    data::DataSource src;
    src.setDataSet(t.get());
    RecordingLink link;
    link.setDataSource(&src);
    t->Open();
    link.log.clear();
    t->DisableControls();
    t->Next();
    t->First();
    QVERIFY(link.log.isEmpty());
    t->EnableControls();
    QVERIFY(link.log.contains("changed"));
}

QTEST_MAIN(TstDataEditing)
#include "tst_data_editing.moc"
