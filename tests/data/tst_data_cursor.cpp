// The table cursor: order, navigation, searches and filters over a real database.
#include "datatest.h"
#include "data/errors.h"
#include <QtTest>
#include <algorithm>

using namespace datatest;

class TstDataCursor : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void navigation_data();
    void navigation();
    void emptyTable();
    void walksLargeTablesBothWays_data();
    void walksLargeTablesBothWays();
    void findNearest_data();
    void findNearest();
    void findNearestOnFilteredRows_data();
    void findNearestOnFilteredRows();
    void filters_data();
    void filters();
    void filterSetOnOpenTableGoesToFirstRow();
    void badFilters_data();
    void badFilters();
    void locateIsExact_data();
    void locateIsExact();
    void indexNameKeepsCurrentRow();
    void unknownIndexOrTable_data();
    void unknownIndexOrTable();
    void refreshAfterRowDeletedElsewhere_data();
    void refreshAfterRowDeletedElsewhere();
    void deletePositions_data();
    void deletePositions();
    void recordCountFollowsFilter();
    void fetchRowsPagesWithoutMoving();
    void tableInItsOwnOrder();
};

static void addNames(testsupport::TestDatabase& db, const QStringList& names) {
    for (const QString& n : names)
        db.addStaff(n);
}

void TstDataCursor::navigation_data() {
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("bof");
    QTest::addColumn<bool>("eof");
    QTest::newRow("open") << ""
                          << "Abbott, Helen" << true << false;
    QTest::newRow("next") << "N"
                          << "Baker, Tom" << false << false;
    QTest::newRow("past the end") << "NNNN"
                                  << "Clark, Joe" << false << true;
    QTest::newRow("last") << "L"
                          << "Clark, Joe" << false << true;
    QTest::newRow("last, next") << "LN"
                                << "Clark, Joe" << false << true;
    QTest::newRow("last, prior") << "LP"
                                 << "Baker, Tom" << false << false;
    QTest::newRow("before the start") << "LPPP"
                                      << "Abbott, Helen" << true << false;
    QTest::newRow("first, prior") << "FP"
                                  << "Abbott, Helen" << true << false;
    QTest::newRow("back and forth") << "NNPN"
                                    << "Clark, Joe" << false << false;
    QTest::newRow("move by") << "M"
                             << "Clark, Joe" << false << false;
}

void TstDataCursor::navigation() {
    QFETCH(QString, moves);
    testsupport::TestDatabase db;
    addNames(db, {"Clark, Joe", "Abbott, Helen", "Baker, Tom"});
    auto t = staff();
    t->Open();
    for (QChar m : moves) {
        switch (m.toLatin1()) {
        case 'N':
            t->Next();
            break;
        case 'P':
            t->Prior();
            break;
        case 'F':
            t->First();
            break;
        case 'L':
            t->Last();
            break;
        case 'M':
            t->MoveBy(2);
            break;
        }
    }
    QTEST(name(*t), "expected");
    QTEST(t->Bof(), "bof");
    QTEST(t->Eof(), "eof");
}

void TstDataCursor::emptyTable() {
    testsupport::TestDatabase db;
    auto t = staff();
    t->Open();
    QVERIFY(t->IsEmpty());
    QVERIFY(t->Bof());
    QVERIFY(t->Eof());
    t->Next();
    t->Last();
    QVERIFY(t->IsEmpty());
    QCOMPARE(name(*t), QString());
    QCOMPARE(t->RecordCount(), 0);
}

void TstDataCursor::walksLargeTablesBothWays_data() {
    QTest::addColumn<QString>("tableName");
    QTest::newRow("Staff by unique name") << "Staff";
    QTest::newRow("Staff_Log: many rows per name, some without") << "Staff_Log";
}

void TstDataCursor::walksLargeTablesBothWays() {
    // more rows than one read-ahead window, with repeated and empty order values
    QFETCH(QString, tableName);
    testsupport::TestDatabase db;
    QStringList expected;
    const bool log = tableName == "Staff_Log";
    for (int i = 0; i < 150; ++i) {
        const QString n = log ? (i % 7 == 0 ? QString() : QString("Name %1").arg(i % 5))
                              : QString("Name %1").arg(i, 3, 10, QChar('0'));
        if (log)
            db.insert("Staff_Log",
                      {{"Name", n.isEmpty() ? QVariant() : QVariant(n)}, {"Status", QString::number(i)}});
        else
            db.addStaff(n, {{"Status", QString::number(i)}});
        expected << n;
    }
    std::stable_sort(expected.begin(), expected.end()); // same names keep insertion (key) order
    auto t = log ? staffLog() : staff();
    t->Open();
    QCOMPARE(column(*t), expected);
    QStringList backwards;
    t->Last();
    while (!t->Bof()) {
        backwards.prepend(name(*t));
        t->Prior();
    }
    QCOMPARE(backwards, expected);
    // and the row key breaks the ties: statuses of "Name 1" in insertion order
    if (log) {
        t->First();
        QStringList statuses;
        while (!t->Eof()) {
            if (name(*t) == "Name 1") statuses << t->FieldByName("Status")->AsString();
            t->Next();
        }
        QCOMPARE(statuses.first(), QString("1"));
        QCOMPARE(statuses.size(), 26); // i%5==1 and i%7!=0 among 150
    }
}

void TstDataCursor::findNearest_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty text: the first") << ""
                                           << "Abbott, Helen";
    QTest::newRow("exact") << "Smith, Ann"
                           << "Smith, Ann";
    QTest::newRow("a beginning") << "Sm"
                                 << "Smith, Ann";
    QTest::newRow("between two names") << "Smj"
                                       << "Smythe, Bo";
    QTest::newRow("beyond the last: the last") << "zzz"
                                               << "smith, carl";
    QTest::newRow("small letters sort after capitals") << "smith"
                                                       << "smith, carl";
    QTest::newRow("capitals sort before small letters") << "SMITH"
                                                        << "Smith, Ann";
    QTest::newRow("case differs: not equal") << "smith, ann"
                                             << "smith, carl";
    QTest::newRow("longer than 25: cut before the search") << "Longname, Abcdefghijklmnopqrstuvwxyz"
                                                           << "Longname, Abcdefghijklmno";
}

void TstDataCursor::findNearest() {
    QFETCH(QString, text);
    testsupport::TestDatabase db;
    addNames(db,
             {"Smythe, Bo", "Abbott, Helen", "smith, carl", "Smith, Ann", "Longname, Abcdefghijklmno", "Lz"});
    auto t = staff({});
    t->SetIndexName("NAMEIndex");
    t->Open();
    t->Last();
    t->SetKey();
    t->FindNearest({text});
    QTEST(name(*t), "expected");
    // the cursor goes on from there in name order
    QVERIFY(!t->Bof() || name(*t) == "Abbott, Helen");
}

void TstDataCursor::findNearestOnFilteredRows_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in: skips those out") << "Status = 'IN'"
                                         << "A"
                                         << "Baker, Tom";
    QTest::newRow("in: beyond the last one in") << "Status = 'IN'"
                                                << "C"
                                                << "Baker, Tom";
    QTest::newRow("out: the first one out") << "Status = 'Out'"
                                            << "B"
                                            << "Clark, Joe";
    QTest::newRow("out: empty text") << "Status = 'Out'"
                                     << ""
                                     << "Adams, Amy";
    QTest::newRow("nobody: stays empty") << "Status = 'in'"
                                         << "B"
                                         << "";
}

void TstDataCursor::findNearestOnFilteredRows() {
    QFETCH(QString, filter);
    QFETCH(QString, text);
    testsupport::TestDatabase db;
    db.addStaff("Adams, Amy", {{"Status", "Out"}});
    db.addStaff("Baker, Tom");
    db.addStaff("Clark, Joe", {{"Status", "Out"}});
    auto t = staff();
    t->SetFilter(filter);
    t->SetFiltered(true);
    t->Open();
    t->SetIndexName("NAMEIndex");
    t->FindNearest({text});
    QTEST(name(*t), "expected");
}

void TstDataCursor::filters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("status in") << "Status = 'IN'" << QStringList{"A", "B"};
    QTest::newRow("status out") << "Status = 'Out'" << QStringList{"C"};
    QTest::newRow("case-sensitive") << "Status = 'in'" << QStringList{"D"};
    QTest::newRow("no blank after =") << "Department ='Sales'" << QStringList{"A"};
    QTest::newRow("doubled quote") << "Department ='O''Brien & Co'" << QStringList{"B"};
    QTest::newRow("prefix") << "Department ='Sal*'" << QStringList{"A", "E"};
    QTest::newRow("prefix is case-sensitive") << "Department ='sal*'" << QStringList{"D"};
    QTest::newRow("a lone * is no prefix") << "Department ='*'" << QStringList{"F"};
    QTest::newRow("whole value only") << "Department ='Sale'" << QStringList{};
    QTest::newRow("empty constant: empty values") << "Department =''" << QStringList{"C"};
    QTest::newRow("bracketed name, and") << "[Department] = 'Sales' AND Status = 'IN'" << QStringList{"A"};
    QTest::newRow("or, parentheses")
        << "(Department = 'Sales' OR Department = 'Salvage') AND NOT Status = 'IN'" << QStringList{"E"};
    QTest::newRow("not equal takes empty values") << "Status <> 'IN'" << QStringList{"C", "D", "E", "F"};
    QTest::newRow("not") << "NOT (Status = 'IN' OR Status = 'Out')" << QStringList{"D", "E", "F"};
    QTest::newRow("is null") << "Status IS NULL" << QStringList{"E", "F"};
    QTest::newRow("numbers") << "Emp_Num >= 3" << QStringList{"C", "D", "E", "F"};
    QTest::newRow("text never becomes SQL")
        << "Department = 'x'' OR ''1''=''1' OR Name = 'A'" << QStringList{"A"};
}

void TstDataCursor::filters() {
    QFETCH(QString, filter);
    testsupport::TestDatabase db;
    db.addStaff("A", {{"Department", "Sales"}, {"Emp_Num", 1}});
    db.addStaff("B", {{"Department", "O'Brien & Co"}, {"Emp_Num", 2}});
    db.addStaff("C", {{"Status", "Out"}, {"Department", QVariant()}, {"Emp_Num", 3}});
    db.addStaff("D", {{"Status", "in"}, {"Department", "sales"}, {"Emp_Num", 4}});
    db.addStaff("E", {{"Status", QVariant()}, {"Department", "Salvage"}, {"Emp_Num", 5}});
    db.addStaff("F", {{"Status", QVariant()}, {"Department", "*"}, {"Emp_Num", 6}});
    auto t = staff();
    t->SetFiltered(true);
    t->SetFilter(filter);
    t->Open();
    QTEST(column(*t), "expected");
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 6);
}

void TstDataCursor::filterSetOnOpenTableGoesToFirstRow() {
    testsupport::TestDatabase db;
    db.addStaff("A", {{"Department", "Sales"}});
    db.addStaff("B", {{"Department", "Sales"}});
    db.addStaff("C", {{"Department", "Sales"}});
    auto t = staff();
    t->Open();
    t->Last();
    t->SetFiltered(true);
    QCOMPARE(name(*t), QString("A"));
    t->Last();
    t->SetFilter("Department ='Sales'");
    QCOMPARE(name(*t), QString("A"));
    t->Last();
    t->SetFilter("Department ='Sales'"); // the same again: back to the first row
    QCOMPARE(name(*t), QString("A"));
    QVERIFY(t->Bof());
    // rows stored since are read afresh
    db.addStaff("0", {{"Department", "Sales"}});
    t->SetFilter("Department ='Sales'");
    QCOMPARE(name(*t), QString("0"));
}

void TstDataCursor::badFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<data::ErrorKind>("kind");
    QTest::newRow("unclosed text") << "Status = 'IN"
                                   << "StaffTable: Filter expression incorrectly formed"
                                   << data::ErrorKind::BadFilter;
    QTest::newRow("no value") << "Status ="
                              << "StaffTable: Filter expression incorrectly formed"
                              << data::ErrorKind::BadFilter;
    QTest::newRow("no field") << "= 'IN'"
                              << "StaffTable: Filter expression incorrectly formed"
                              << data::ErrorKind::BadFilter;
    QTest::newRow("no operator") << "Status 'IN'"
                                 << "StaffTable: Filter expression incorrectly formed"
                                 << data::ErrorKind::BadFilter;
    QTest::newRow("open parenthesis")
        << "(Status = 'IN'"
        << "StaffTable: Filter expression incorrectly formed" << data::ErrorKind::BadFilter;
    QTest::newRow("stray word") << "Status = 'IN' Status"
                                << "StaffTable: Filter expression incorrectly formed"
                                << data::ErrorKind::BadFilter;
    QTest::newRow("semicolon") << "Status = 'IN'; DROP TABLE Staff"
                               << "StaffTable: Filter expression incorrectly formed"
                               << data::ErrorKind::BadFilter;
    QTest::newRow("unknown field") << "Nope = 'x'"
                                   << "StaffTable: Field 'Nope' not found" << data::ErrorKind::NoSuchField;
}

void TstDataCursor::badFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QFETCH(data::ErrorKind, kind);
    testsupport::TestDatabase db;
    db.addStaff("A");
    auto t = staff();
    t->SetFiltered(true);
    t->Open();
    const QString msg = errorOf<data::DatabaseError>([&] { t->SetFilter(filter); });
    QVERIFY2(msg.startsWith(expected), qPrintable(msg));
    QCOMPARE(kindOf([&] { t->SetFilter(filter); }), kind);
    QVERIFY(t->Active());
    QCOMPARE(t->Filter(), QString());
    QCOMPARE(column(*t), QStringList{"A"});
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
}

void TstDataCursor::locateIsExact_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << "Smith, Ann" << true << "Smith, Ann";
    QTest::newRow("case differs") << "smith, ann" << false << "Abbott, Helen";
    QTest::newRow("a beginning only") << "Smith" << false << "Abbott, Helen";
}

void TstDataCursor::locateIsExact() {
    QFETCH(QString, value);
    testsupport::TestDatabase db;
    addNames(db, {"Abbott, Helen", "Smith, Ann", "Smythe, Bo"});
    auto t = staff();
    t->Open();
    QTEST(t->Locate("Name", value), "found");
    QTEST(name(*t), "expected");
}

void TstDataCursor::indexNameKeepsCurrentRow() {
    testsupport::TestDatabase db;
    db.addStaff("Baker, Tom", {{"ZipCode", "10001"}});
    db.addStaff("Abbott, Helen", {{"ZipCode", "30003"}});
    db.addStaff("Clark, Joe", {{"ZipCode", "20002"}});
    auto t = staff("ZipCode");
    t->Open();
    QCOMPARE(column(*t), (QStringList{"Baker, Tom", "Clark, Joe", "Abbott, Helen"}));
    t->First();
    t->Next(); // Clark
    t->SetIndexName("NAMEIndex");
    QCOMPARE(name(*t), QString("Clark, Joe"));
    t->Prior();
    QCOMPARE(name(*t), QString("Baker, Tom"));
    QCOMPARE(t->IndexName(), QString("NAMEIndex"));
    QCOMPARE(t->orderFields(), QStringList{"Name"});
}

void TstDataCursor::unknownIndexOrTable_data() {
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing index") << "Staff"
                                   << "NoSuchIndex"
                                   << "NoSuchIndex";
    QTest::newRow("missing table") << "Staffs"
                                   << ""
                                   << "Staffs";
}

void TstDataCursor::unknownIndexOrTable() {
    QFETCH(QString, tableName);
    QFETCH(QString, index);
    QFETCH(QString, named);
    testsupport::TestDatabase db;
    db.addStaff("A");
    data::Table t("StaffTable");
    t.SetDatabaseName(alias);
    t.SetTableName(tableName);
    t.SetIndexName(index);
    const QString msg = errorOf<data::EngineError>([&] { t.Open(); });
    QVERIFY2(msg.contains(named), qPrintable(msg));
    QVERIFY(!t.Active());
    // an open table given a missing index keeps its order and row
    if (!index.isEmpty()) {
        t.SetIndexName("NAMEIndex");
        t.Open();
        QVERIFY(errorOf<data::EngineError>([&] { t.SetIndexName(index); }).contains(index));
        QCOMPARE(t.IndexName(), QString("NAMEIndex"));
        QCOMPARE(t.FieldByName("Name")->AsString(), QString("A"));
    }
}

void TstDataCursor::refreshAfterRowDeletedElsewhere_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");
    QTest::newRow("middle: the next one") << "Baker, Tom"
                                          << "Clark, Joe";
    QTest::newRow("last: the one before") << "Clark, Joe"
                                          << "Baker, Tom";
    QTest::newRow("first: the next one") << "Abbott, Helen"
                                         << "Baker, Tom";
}

void TstDataCursor::refreshAfterRowDeletedElsewhere() {
    QFETCH(QString, current);
    testsupport::TestDatabase db;
    addNames(db, {"Abbott, Helen", "Baker, Tom", "Clark, Joe"});
    auto t = staff();
    t->Open();
    QVERIFY(t->Locate("Name", current));
    db.exec("DELETE FROM Staff WHERE Name = ?", {current});
    QCOMPARE(name(*t), current); // shows what it last read
    t->Refresh();
    QTEST(name(*t), "expected");
    // a changed row is shown as stored
    db.exec("UPDATE Staff SET Department = 'Changed'");
    t->Refresh();
    QCOMPARE(t->FieldByName("Department")->AsString(), QString("Changed"));
}

void TstDataCursor::deletePositions_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("eof");
    QTest::newRow("middle: the next one") << QStringList{"A", "B", "C"} << "B"
                                          << "C" << false;
    QTest::newRow("last: the one before") << QStringList{"A", "B", "C"} << "C"
                                          << "B" << true;
    QTest::newRow("first: the next one") << QStringList{"A", "B", "C"} << "A"
                                         << "B" << false;
    QTest::newRow("only row: empty") << QStringList{"A"} << "A"
                                     << "" << true;
}

void TstDataCursor::deletePositions() {
    QFETCH(QStringList, rows);
    QFETCH(QString, current);
    testsupport::TestDatabase db;
    addNames(db, rows);
    auto t = staff();
    t->Open();
    QVERIFY(t->Locate("Name", current));
    t->Delete();
    QTEST(name(*t), "expected");
    QTEST(t->Eof(), "eof");
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Name = ?", {current}).toInt(), 0);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), int(rows.size()) - 1);
    QCOMPARE(t->IsEmpty(), rows.size() == 1);
    if (t->IsEmpty())
        QCOMPARE(errorOf([&] { t->Delete(); }),
                 QString("StaffTable: Cannot perform this operation on an empty dataset"));
}

void TstDataCursor::recordCountFollowsFilter() {
    testsupport::TestDatabase db;
    db.addStaff("A");
    db.addStaff("B", {{"Status", "Out"}});
    db.addStaff("C");
    auto t = staff();
    t->Open();
    QCOMPARE(t->RecordCount(), 3);
    t->SetFilter("Status = 'IN'");
    t->SetFiltered(true);
    QCOMPARE(t->RecordCount(), 2);
}

void TstDataCursor::fetchRowsPagesWithoutMoving() {
    testsupport::TestDatabase db;
    addNames(db, {"A", "B", "C", "D", "E"});
    auto t = staff();
    t->Open();
    t->Next();
    t->Next(); // C
    const data::RowKey key = t->CurrentKey();
    const int nameIndex = t->FieldByName("Name")->index();
    auto names = [&](const QVector<data::Row>& rows) {
        QStringList out;
        for (const auto& r : rows)
            out << r.values[nameIndex].toString();
        return out;
    };
    QCOMPARE(names(t->FetchRows(key, true, 10, false)), (QStringList{"D", "E"}));
    QCOMPARE(names(t->FetchRows(key, true, 2, true)), (QStringList{"C", "D"}));
    QCOMPARE(names(t->FetchRows(key, false, 10, false)), (QStringList{"B", "A"}));
    QCOMPARE(names(t->FetchRows({}, true, 2, false)), (QStringList{"A", "B"}));
    QCOMPARE(names(t->FetchRows({}, false, 2, false)), (QStringList{"E", "D"}));
    QCOMPARE(name(*t), QString("C"));
    QVERIFY(t->GotoKey(t->FetchRows({}, false, 1, false).first().key));
    QCOMPARE(name(*t), QString("E"));
}

void TstDataCursor::tableInItsOwnOrder() {
    // no index chosen: the table's own order, the row key
    testsupport::TestDatabase db;
    addNames(db, {"C", "A", "B"});
    auto t = staff({});
    t->Open();
    QCOMPARE(column(*t), (QStringList{"C", "A", "B"}));
}

QTEST_MAIN(TstDataCursor)
#include "tst_data_cursor.moc"
