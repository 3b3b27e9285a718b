// Date-time values are stored and compared as the local date and time typed at the desk,
// whatever the desk's zone (TZ of the test's run) and the server's (set on its database).
#include "tests/data/datatest.h"
#include <QtTest>

using namespace datatest;

class TstTimezones : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }
    void typedDateTimesStayAsTyped_data();
    void typedDateTimesStayAsTyped();
};

void TstTimezones::typedDateTimesStayAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("date") << "1/2/80"
                          << "1980-01-02 00:00:00"
                          << "1/2/80";
    QTest::newRow("date and time") << "6/30/75 23:30"
                                   << "1975-06-30 23:30:00"
                                   << "6/30/75 11:30:00 PM";
    QTest::newRow("summer date") << "7/4/99"
                                 << "1999-07-04 00:00:00"
                                 << "7/4/99";
}

void TstTimezones::typedDateTimesStayAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QVERIFY2(!qEnvironmentVariable("TZ").isEmpty(), "the test runs with TZ set to the desk's zone");
    testsupport::TestDatabase db;
    if (db.postgres())
        // a server zone other than either desk's; the desk's sessions start after this
        db.native(
            QString("ALTER DATABASE \"%1\" SET TimeZone TO 'Pacific/Auckland'").arg(db.postgresDatabase()));
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    t->Edit();
    t->FieldByName("DOB")->SetAsString(typed);
    t->Post();
    QCOMPARE(db.scalar("SELECT CAST(DOB AS text) FROM Staff").toString().replace('T', ' ').left(19), stored);
    // the row read back compares equal to what is stored: later edits are no conflict
    t->Refresh();
    QCOMPARE(t->FieldByName("DOB")->AsString(), shown);
    t->Edit();
    t->FieldByName("City")->SetAsString("Boston");
    t->Post();
    t->Edit();
    t->FieldByName("City")->SetAsString("Salem");
    t->Post();
    QCOMPARE(db.scalar("SELECT City FROM Staff").toString(), QString("Salem"));
    // a value stored by another program reads as the same wall-clock time
    db.exec("UPDATE Staff SET DOB = ?", {QString(stored).replace(' ', 'T')});
    auto other = staff();
    other->Open();
    QCOMPARE(other->FieldByName("DOB")->AsString(), shown);
    other->Delete();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
}

QTEST_MAIN(TstTimezones)
#include "tst_timezones.moc"
