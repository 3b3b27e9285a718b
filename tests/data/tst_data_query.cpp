// Queries: stored local SQL, run once when opened, read lazily from their own snapshot.
#include "datatest.h"
#include "data/errors.h"
#include "data/query.h"
#include <QtTest>

using namespace datatest;

namespace {

std::unique_ptr<data::Query> query(const QString& name, const QStringList& sql,
                                   const QVector<QPair<QString, int>>& fields = {}) {
    auto q = std::make_unique<data::Query>(name);
    q->SetDatabaseName(alias);
    q->SetSQL(sql);
    for (const auto& f : fields) {
        data::FieldDef d;
        d.name = name + QString(f.first).remove(' ');
        d.fieldName = f.first;
        d.type = f.second ? data::FieldType::String : data::FieldType::Integer;
        d.size = f.second;
        q->addFieldDef(d);
    }
    return q;
}

} // namespace

class TstDataQuery : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void storedReportQueries_data();
    void storedReportQueries();
    void historyQueryWithBracketedName();
    void declaredFieldOrder();
    void snapshotOfTheStart();
    void navigation();
    void readOnly();
    void badSql();
    void longResultReadByKey();
};

void TstDataQuery::storedReportQueries_data() {
    QTest::addColumn<QStringList>("sql");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("name picker") << QStringList{"SELECT Name", "FROM Staff Staff", "ORDER BY Name"} << "Name"
                                 << QStringList{"Abbott, Helen", "Baker, Tom", "Clark, Joe", "abel, ann"};
    QTest::newRow("in office, two blanks after WHERE")
        << QStringList{"SELECT Name, Department, Destination, Date_Left, Time_Left, Return_Date, "
                       "Return_Time, Status",
                       "FROM Staff Staff", "WHERE  Status = 'IN' ", "ORDER BY Name, Department"}
        << "Name" << QStringList{"Abbott, Helen", "Clark, Joe"};
    QTest::newRow("out of office: case-sensitive")
        << QStringList{"SELECT Name, Department, Destination, Date_Left, Time_Left, Return_Date, "
                       "Return_Time, Contact_Phone, Status",
                       "FROM Staff Staff", "WHERE  Status = 'Out' ", "ORDER BY Name, Department, Date_Left"}
        << "Name" << QStringList{"Baker, Tom"};
    QTest::newRow("departments") << QStringList{"SELECT Department", "FROM Dept Dept", "ORDER BY Department"}
                                 << "Department" << QStringList{"Accounts", "Sales"};
}

void TstDataQuery::storedReportQueries() {
    QFETCH(QStringList, sql);
    QFETCH(QString, field);
    testsupport::TestDatabase db;
    db.addStaff("Clark, Joe");
    db.addStaff("Baker, Tom", {{"Status", "Out"}});
    db.addStaff("abel, ann", {{"Status", "OUT"}});
    db.addStaff("Abbott, Helen");
    db.addDept("Sales");
    db.addDept("Accounts");
    auto q = query("Query1", sql);
    q->Open();
    QTEST(column(*q, field), "expected");
}

void TstDataQuery::historyQueryWithBracketedName() {
    testsupport::TestDatabase db;
    db.insert("Staff_Log", {{"Name", "Baker, Tom"}, {"Transaction_Date", "9/1/26"}, {"Date Left", "9/1/26"}});
    db.insert("Staff_Log",
              {{"Name", "Abbott, Helen"}, {"Transaction_Date", "3/11/26"}, {"Date Left", "3/11/26"}});
    db.insert("Staff_Log",
              {{"Name", "Baker, Tom"}, {"Transaction_Date", "10/2/26"}, {"Date Left", "10/2/26"}});
    auto q =
        query("Query1",
              {"SELECT Transaction_Id, Transaction_Date, Transaction_Time, Name, Department, Destination, "
               "[Date Left], Time_Left, Return_Date, Return_Time, Status, Contact_Phone",
               "FROM Staff_Log Staff_log", "ORDER BY Name, Transaction_Date, Transaction_Time"});
    q->Open();
    QCOMPARE(q->fields().size(), 12);
    QCOMPARE(q->fields().at(6)->FieldName(), QString("Date Left"));
    // dates compare as text: October before September
    QCOMPARE(column(*q, "Date Left"), (QStringList{"3/11/26", "10/2/26", "9/1/26"}));
}

void TstDataQuery::declaredFieldOrder() {
    // the layout's field objects give the order the report sees, not the SELECT list
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Department", "Sales"}});
    auto q = query("Query2",
                   {"SELECT Name, Department, Destination, Date_Left, Time_Left, Return_Date, Return_Time, "
                    "Contact_Phone, Status",
                    "FROM Staff Staff", "ORDER BY Name, Department, Date_Left"},
                   {{"Name", 25}, {"Status", 3}, {"Department", 25}});
    q->Open();
    QCOMPARE(q->fields().size(), 3);
    QCOMPARE(q->fields().at(1)->FieldName(), QString("Status"));
    QCOMPARE(q->fields().at(1)->AsString(), QString("IN"));
    QCOMPARE(q->fields().at(2)->AsString(), QString("Sales"));
}

void TstDataQuery::snapshotOfTheStart() {
    // A result that ends among the rows read when the query runs is held whole.
    testsupport::TestDatabase db;
    for (int i = 0; i < 200; ++i)
        db.addStaff(QString("Name %1").arg(i, 3, 10, QChar('0')));
    auto q = query("Query1", {"SELECT Name", "FROM Staff Staff", "ORDER BY Name"});
    q->Open();
    QCOMPARE(name(*q), QString("Name 000"));
    // stored after the query ran, by this program and by another desk
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Name 999");
    t->Post();
    db.exec("DELETE FROM Staff WHERE Name = 'Name 150'");
    db.addStaff("Name 500");
    QCOMPARE(q->RecordCount(), 200);
    q->Last();
    QCOMPARE(name(*q), QString("Name 199"));
    QVERIFY(q->Locate("Name", "Name 150"));
    // a query opened now sees what is stored now
    auto later = query("Query2", {"SELECT Name", "FROM Staff Staff", "ORDER BY Name"});
    later->Open();
    QCOMPARE(later->RecordCount(), 201);
    later->Last();
    QCOMPARE(name(*later), QString("Name 999"));
}

void TstDataQuery::navigation() {
    testsupport::TestDatabase db;
    db.addStaff("A");
    db.addStaff("B");
    db.addStaff("C");
    auto q = query("Query1", {"SELECT Name FROM Staff ORDER BY Name"});
    q->Open();
    QVERIFY(q->Bof());
    q->Next();
    q->Next();
    q->Next();
    QVERIFY(q->Eof());
    QCOMPARE(name(*q), QString("C"));
    q->Prior();
    QCOMPARE(name(*q), QString("B"));
    q->First();
    QCOMPARE(name(*q), QString("A"));
    const auto rows = q->FetchRows({}, true, 5, false);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2].values[0].toString(), QString("C"));
    q->Close();
    q->Open(); // run again when reopened
    QCOMPARE(q->RecordCount(), 3);
}

void TstDataQuery::readOnly() {
    testsupport::TestDatabase db;
    db.addStaff("A");
    auto q = query("Query1", {"SELECT Name FROM Staff"});
    q->Open();
    QCOMPARE(errorOf([&] { q->Edit(); }), QString("Query1: Cannot modify a read-only dataset"));
    QCOMPARE(errorOf([&] { q->Insert(); }), QString("Query1: Cannot modify a read-only dataset"));
    QCOMPARE(errorOf([&] { q->Delete(); }), QString("Query1: Cannot modify a read-only dataset"));
    QCOMPARE(errorOf([&] { q->FieldByName("Name")->SetAsString("x"); }),
             QString("Query1: Dataset not in edit or insert mode"));
}

void TstDataQuery::badSql() {
    testsupport::TestDatabase db;
    auto q = query("Query1", {"SELECT Nope", "FROM Staff Staff"});
    const QString msg = errorOf<data::EngineError>([&] { q->Open(); });
    QVERIFY2(msg.startsWith("Query1: ") && msg.contains("Nope"), qPrintable(msg));
    QVERIFY(!q->Active());
}

void TstDataQuery::longResultReadByKey() {
    // Past the rows read when it opens, a query ordered by a column is searched and read from
    // its end by key: the rows come in the query's order, each once, with the column's
    // repeated values and its NULLs.
    testsupport::TestDatabase db;
    QVERIFY(db.raw().transaction());
    for (int i = 0; i < 600; ++i)
        db.exec(
            "INSERT INTO Staff (Name, Department) VALUES (?, ?)",
            {QString("N%1").arg(i, 3, 10, QChar('0')), i % 7 == 0 ? QVariant() : QString("D%1").arg(i % 5)});
    QVERIFY(db.raw().commit());
    auto q = query("Query1", {"SELECT Name, Department", "FROM Staff Staff", "ORDER BY Department, Name"});
    q->Open();
    auto text = [](const data::Row& r) { return r.values[1].toString() + "|" + r.values[0].toString(); };
    // the order as read from the first row on
    QStringList all;
    for (data::RowKey after;;) {
        const QVector<data::Row> page = q->FetchRows(after, true, 100, false);
        if (page.isEmpty()) break;
        for (const data::Row& r : page)
            all << text(r);
        after = page.last().key;
    }
    QCOMPARE(all.size(), 600);
    QVERIFY(all.first().startsWith("|")); // NULLs first, on every engine
    // from the end backwards, in pages
    QStringList back;
    for (data::RowKey before;;) {
        const QVector<data::Row> page = q->FetchRows(before, false, 37, false);
        if (page.isEmpty()) break;
        for (const data::Row& r : page)
            back.prepend(text(r));
        before = page.last().key;
    }
    QCOMPARE(back, all);
    // from a value on, forwards and backwards
    QVector<data::Row> from;
    QVERIFY(q->SeekRows("Department", "D3", 45, from));
    QCOMPARE(from.size(), 45);
    const int d3 = int(all.indexOf(text(from.first())));
    QVERIFY(all[d3].startsWith("D3|") && !all[d3 - 1].startsWith("D3|"));
    QStringList on;
    for (data::RowKey after = from.last().key;;) {
        const QVector<data::Row> page = q->FetchRows(after, true, 61, false);
        if (page.isEmpty()) break;
        for (const data::Row& r : page)
            on << text(r);
        after = page.last().key;
    }
    QCOMPARE(on.size(), 600 - d3 - 45);
    QCOMPARE(on.first(), all[d3 + 45]);
    const QVector<data::Row> before = q->FetchRows(from[10].key, false, 20, true);
    QCOMPARE(before.size(), 20);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(text(before[i]), all[d3 + 10 - i]);
    QVERIFY(q->SeekRows("Department", "D9", 5, from));
    QVERIFY(from.isEmpty());
    // the cursor: Locate, Next, Prior, Last, and back to the first row
    QVERIFY(q->Locate("Department", "D2"));
    const int d2 = int(all.indexOf(q->FieldByName("Department")->AsString() + "|" + name(*q)));
    QVERIFY(d2 > 0 && all[d2].startsWith("D2|") && !all[d2 - 1].startsWith("D2|"));
    q->Prior();
    QCOMPARE(q->FieldByName("Department")->AsString() + "|" + name(*q), all[d2 - 1]);
    q->Next();
    q->Next();
    QCOMPARE(q->FieldByName("Department")->AsString() + "|" + name(*q), all[d2 + 1]);
    QVERIFY(!q->Locate("Department", "D"));
    QCOMPARE(q->FieldByName("Department")->AsString() + "|" + name(*q), all[d2 + 1]);
    q->Last();
    QCOMPARE(q->FieldByName("Department")->AsString() + "|" + name(*q), all.last());
    q->Prior();
    QCOMPARE(q->FieldByName("Department")->AsString() + "|" + name(*q), all[598]);
    q->First();
    QCOMPARE(name(*q), all.first().mid(1));
}

QTEST_MAIN(TstDataQuery)
#include "tst_data_query.moc"
