// The tests' PostgreSQL server restarted under a running desk: the operation that meets the
// lost connection says so, the pending edit stays, and the desk goes on once it is posted again.
// scripts/setup.sh names the server's pg_ctl and data folder in QUORVALE_TEST_PG_CTL and
// QUORVALE_TEST_PG_DATA.
#include "tests/data/datatest.h"
#include <QFileInfo>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

using namespace datatest;
using data::DataSetState;

namespace {

bool restartServer() {
    const QString pgCtl = qEnvironmentVariable("QUORVALE_TEST_PG_CTL");
    const QString dataDir = qEnvironmentVariable("QUORVALE_TEST_PG_DATA");
    // the server's output goes on into its log beside the data folder
    const QString serverLog = QFileInfo(dataDir).absolutePath() + "/server.log";
    QStringList command{pgCtl, "-D", dataDir, "-l", serverLog, "-m", "fast", "-w", "-t", "60", "restart"};
    if (geteuid() == 0)
        command = QStringList{"runuser", "-u", "postgres", "--"} + command; // as the cluster's owner
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(command.first(), command.mid(1));
    return p.waitForFinished(90000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TstServerRestart : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }
    void deskGoesOnAfterRestart();
};

void TstServerRestart::deskGoesOnAfterRestart() {
    testsupport::TestDatabase db;
    if (!db.postgres()) QSKIP("a server restart: PostgreSQL only");
    if (qEnvironmentVariable("QUORVALE_TEST_PG_CTL").isEmpty() ||
        qEnvironmentVariable("QUORVALE_TEST_PG_DATA").isEmpty())
        QSKIP("the tests' server is not named (QUORVALE_TEST_PG_CTL, QUORVALE_TEST_PG_DATA)");
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    t->Open();
    auto log = staffLog();
    log->Open();
    t->Edit();
    t->FieldByName("Destination")->SetAsString("Dentist");
    t->FieldByName("Status")->SetAsString("Out");
    db.raw().close(); // the fixture's own connection goes with the restart too
    QVERIFY(restartServer());
    QVERIFY(db.raw().open());

    int failures = 0;
    for (int i = 0; i < 3; ++i) {
        try {
            data::Transaction tr(data::Database::forAlias(alias));
            t->Post();
            log->Insert();
            log->FieldByName("Name")->SetAsString(name(*t));
            log->FieldByName("Destination")->SetAsString(t->FieldByName("Destination")->AsString());
            log->Post();
            tr.Commit();
            break;
        } catch (const data::DatabaseError& e) {
            ++failures;
            QCOMPARE(e.kind(), data::ErrorKind::ConnectionLost);
            // the check-out is still there to be saved again
            QCOMPARE(t->State(), DataSetState::Edit);
            QCOMPARE(t->FieldByName("Destination")->AsString(), QString("Dentist"));
        }
    }
    QCOMPARE(failures, 1); // only the operation that met the lost connection
    QCOMPARE(db.scalar("SELECT Destination FROM Staff WHERE Name = ?", {"Abbott, Helen"}).toString(),
             QString("Dentist"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 1);
    // and the desk reads and moves as before
    t->Next();
    QCOMPARE(name(*t), QString("Baker, Tom"));
    t->Refresh();
    QCOMPARE(t->RecordCount(), 2);
}

QTEST_MAIN(TstServerRestart)
#include "tst_serverrestart.moc"
