// A desk killed (SIGKILL) at random moments while it saves check-outs in a loop: afterwards
// the database is whole, and every stored change of an employee's row has its history row.
#include "tests/data/datatest.h"
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>

class TstCrashSave : public QObject {
    Q_OBJECT

private slots:
    void killedSavesLeaveNoHalfSave();
};

void TstCrashSave::killedSavesLeaveNoHalfSave() {
    testsupport::TestDatabase db;
    const QStringList names{"Abbott, Helen", "Baker, Tom", "Carter, Ann", "Dunn, Joe", "Evans, May"};
    for (const QString& n : names)
        db.addStaff(n, {{"Department", "Sales"}});
    constexpr int kills = 30;
    QRandomGenerator random(20260311);
    int killedMidRun = 0;
    qint64 lastSaves = 0;
    int killsAfterSaves = 0;
    for (int k = 0; k < kills; ++k) {
        QProcess desk;
        desk.start(QUORVALE_DESK, {"saves"});
        QVERIFY(desk.waitForStarted());
        QTest::qWait(300 + int(random.bounded(700)));
        if (desk.state() == QProcess::Running) ++killedMidRun;
        ::kill(pid_t(desk.processId()), SIGKILL);
        QVERIFY(desk.waitForFinished(10000));
        const qint64 saves = db.scalar("SELECT COUNT(*) FROM Staff_Log").toLongLong();
        if (saves > lastSaves) ++killsAfterSaves;
        lastSaves = saves;
    }
    QCOMPARE(killedMidRun, kills);

    if (!db.postgres()) QCOMPARE(db.scalar("PRAGMA integrity_check").toString(), QString("ok"));
    // every stored row shows the history row of its last save; no history row without its save
    const qint64 saves = db.scalar("SELECT COUNT(*) FROM Staff_Log").toLongLong();
    int halfSaves = 0;
    for (const QString& n : names) {
        const auto staffRow = db.rows("SELECT Destination, Time_Left, Status FROM Staff WHERE Name = ?", {n});
        QCOMPARE(staffRow.size(), 1);
        const auto last = db.rows("SELECT Destination, Time_Left, Status FROM Staff_Log WHERE Name = ? "
                                  "ORDER BY Transaction_Id DESC",
                                  {n});
        if (last.isEmpty()) {
            if (staffRow[0].value("Status").toString() != "IN") ++halfSaves;
            continue;
        }
        for (const char* f : {"Destination", "Time_Left", "Status"})
            if (staffRow[0].value(f).toString() != last[0].value(f).toString()) {
                ++halfSaves;
                break;
            }
    }
    // each save names its desk and round: a destination stored twice would be a save replayed
    QCOMPARE(db.scalar("SELECT COUNT(DISTINCT Destination) FROM Staff_Log").toLongLong(), saves);
    qInfo("kills: %d, saves: %lld, kills that came after new saves: %d, half-saves: %d", kills, saves,
          killsAfterSaves, halfSaves);
    QCOMPARE(halfSaves, 0);
    QVERIFY2(saves >= kills, "the desk saved between the kills");
}

QTEST_MAIN(TstCrashSave)
#include "tst_crashsave.moc"
