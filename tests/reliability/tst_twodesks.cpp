// Two desks, two processes, on one database: adding one to a counter of the same row and of
// rows of their own. No update is lost; every conflict is reported with the edit kept.
#include "tests/data/datatest.h"
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Figures {
    int saves = -1, conflicts = 0, kept = 0, busy = 0;
};

Figures figuresOf(QProcess& desk) {
    Figures f;
    if (!desk.waitForFinished(90000)) desk.kill();
    const QString out = QString::fromUtf8(desk.readAllStandardOutput()).trimmed();
    const auto m = QRegularExpression("saves=(\\d+) conflicts=(\\d+) kept=(\\d+) busy=(\\d+)").match(out);
    if (!m.hasMatch()) {
        qWarning("desk said: %s", qPrintable(out));
        return f;
    }
    f.saves = m.captured(1).toInt();
    f.conflicts = m.captured(2).toInt();
    f.kept = m.captured(3).toInt();
    f.busy = m.captured(4).toInt();
    return f;
}

} // namespace

class TstTwoDesks : public QObject {
    Q_OBJECT

private slots:
    void countersLoseNoUpdate_data();
    void countersLoseNoUpdate();
};

void TstTwoDesks::countersLoseNoUpdate_data() {
    QTest::addColumn<QString>("rowOfA");
    QTest::addColumn<QString>("rowOfB");
    QTest::newRow("same row") << "Abbott, Helen"
                              << "Abbott, Helen";
    QTest::newRow("rows of their own") << "Abbott, Helen"
                                       << "Baker, Tom";
}

void TstTwoDesks::countersLoseNoUpdate() {
    QFETCH(QString, rowOfA);
    QFETCH(QString, rowOfB);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Address2", "0"}});
    db.addStaff("Baker, Tom", {{"Address2", "0"}});
    constexpr int rounds = 150;
    QProcess a, b;
    a.start(QUORVALE_DESK, {"count", rowOfA, QString::number(rounds)});
    b.start(QUORVALE_DESK, {"count", rowOfB, QString::number(rounds)});
    const Figures fa = figuresOf(a), fb = figuresOf(b);
    QCOMPARE(fa.saves, rounds);
    QCOMPARE(fb.saves, rounds);
    const int stored =
        db.scalar("SELECT Address2 FROM Staff WHERE Name = ?", {rowOfA}).toInt() +
        (rowOfA == rowOfB ? 0 : db.scalar("SELECT Address2 FROM Staff WHERE Name = ?", {rowOfB}).toInt());
    const int lost = 2 * rounds - stored;
    qInfo("saves: %d, conflicts: %d (edit kept: %d), busy: %d, lost updates: %d", fa.saves + fb.saves,
          fa.conflicts + fb.conflicts, fa.kept + fb.kept, fa.busy + fb.busy, lost);
    QCOMPARE(lost, 0);
    QCOMPARE(fa.kept, fa.conflicts);
    QCOMPARE(fb.kept, fb.conflicts);
    if (rowOfA != rowOfB) QCOMPARE(fa.conflicts + fb.conflicts, 0);
}

QTEST_MAIN(TstTwoDesks)
#include "tst_twodesks.moc"
