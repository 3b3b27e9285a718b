// Faults found by running the layer as a busy office would: texts cut inside a character,
// characters no engine stores, filters nested without end, a program ending without closing
// its databases, a delete of a row changed since it was read, a server connection that broke
// off, and messages that did not say what to do.
#include "controls/db/dbedit.h"
#include "data/datasource.h"
#include "data/filter.h"
#include "tests/data/datatest.h"
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QSettings>
#include <QtTest>
#include <unistd.h>

using namespace datatest;
using data::DataSetState;
using data::ErrorKind;

namespace {

const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units

QString runDesk(const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(QUORVALE_DESK, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
    }
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

class TstFaults : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void textsAreCutBetweenCharacters_data();
    void textsAreCutBetweenCharacters();
    void lineEditLimitKeepsWholeCharacters();
    void unstorableCharactersAreRefused_data();
    void unstorableCharactersAreRefused();
    void deeplyNestedFiltersAreRefused_data();
    void deeplyNestedFiltersAreRefused();
    void programMayEndWithoutClosingDatabases();
    void deleteRemovesTheRowByItsKey();
    void lostServerConnectionIsReportedAndRepaired();
    void openingMessagesSayWhatToDo();
    void readOnlyFolderIsNamed();
    void fullDiskIsNamed();
    void keyViolationNamesTheField();
    void longTextsAreNotEchoedWhole();
};

void TstFaults::textsAreCutBetweenCharacters_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    const QString a24(24, 'a');
    QTest::newRow("character across the limit") << a24 + smile + "b" << a24;
    QTest::newRow("character just inside") << QString(23, 'a') + smile + "b" << QString(23, 'a') + smile;
    QTest::newRow("characters only") << smile.repeated(13) << smile.repeated(12);
}

void TstFaults::textsAreCutBetweenCharacters() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    testsupport::TestDatabase db;
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString(typed);
    t->FieldByName("Emp_Num")->SetAsString("7");
    t->Post();
    QCOMPARE(db.scalar("SELECT Name FROM Staff").toString(), stored);
    // the row stays editable and deletable: every compare finds it as it was stored
    t->Refresh();
    QCOMPARE(name(*t), stored);
    t->Edit();
    t->FieldByName("City")->SetAsString("Boston");
    t->Post();
    QCOMPARE(db.scalar("SELECT City FROM Staff").toString(), QString("Boston"));
    t->Delete();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
}

void TstFaults::lineEditLimitKeepsWholeCharacters() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    auto t = staff();
    t->Open();
    data::DataSource source("DataSource1");
    source.setDataSet(t.get());
    controls::DBEdit edit;
    edit.bind(&source, "Name");
    edit.show();
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, QString(24, 'b'));
    // an emoji arrives as one key's text of two units; one place is left
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, smile);
    QApplication::sendEvent(&edit, &press);
    QCOMPARE(edit.text(), QString(24, 'b'));
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "c");
    QApplication::sendEvent(&edit, &paste);
    QCOMPARE(edit.text(), QString(24, 'b') + "c");
    t->Post();
    QCOMPARE(db.scalar("SELECT Name FROM Staff").toString(), QString(24, 'b') + "c");
}

void TstFaults::unstorableCharactersAreRefused_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("NUL in a text") << "Name" << QString("Abbott") + QChar(0) + "Helen"
                                   << "a NUL character (code 0), at position 7";
    QTest::newRow("NUL in a memo") << "Comments" << QString(QChar(0))
                                   << "a NUL character (code 0), at position 1";
    QTest::newRow("first half alone") << "Name" << QString("Ab") + smile.at(0) + "x"
                                      << "half of a character (code d83d), at position 3";
    QTest::newRow("second half alone")
        << "Comments" << smile.at(1) + QString("bc") << "half of a character (code de00), at position 1";
}

void TstFaults::unstorableCharactersAreRefused() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    testsupport::TestDatabase db;
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    t->FieldByName("Emp_Num")->SetAsString("7");
    const QString message = errorOf([&] { t->FieldByName(field)->SetAsString(text); });
    QCOMPARE(message,
             QString("Field '%1' cannot store %2 of the text. Remove it, or press Esc to abandon the change")
                 .arg(field, named));
    QCOMPARE(kindOf([&] { t->FieldByName(field)->SetAsString(text); }), ErrorKind::InvalidValue);
    // the row stays pending with what it held, and posts once the text is put right
    QCOMPARE(t->State(), DataSetState::Insert);
    QCOMPARE(name(*t), QString("Abbott, Helen"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 0);
    t->FieldByName(field)->SetAsString(
        QString(text).remove(QChar(0)).remove(smile.at(0)).remove(smile.at(1)) + "ok");
    t->Post();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
}

void TstFaults::deeplyNestedFiltersAreRefused_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("message");
    const QString in = "Status = 'IN'";
    QTest::newRow("parentheses")
        << QString(15000, '(') + in + QString(15000, ')')
        << "Filter expression incorrectly formed: it is nested more than 64 levels deep at "
           "position 65";
    QTest::newRow("NOT") << QString("NOT ").repeated(15000) + in
                         << "Filter expression incorrectly formed: it is nested more than 64 levels deep at "
                            "position 261";
    QTest::newRow("AND")
        << QStringList(20000, in).join(" AND ")
        << "Filter expression incorrectly formed: it joins more than 1024 compares with AND and OR";
    QTest::newRow("64 levels") << QString(64, '(') + in + QString(64, ')') << QString();
}

void TstFaults::deeplyNestedFiltersAreRefused() {
    QFETCH(QString, filter);
    QFETCH(QString, message);
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom", {{"Status", "Out"}});
    auto t = staff();
    t->Open();
    t->SetFiltered(true);
    if (message.isEmpty()) {
        t->SetFilter(filter);
        QCOMPARE(column(*t), QStringList{"Abbott, Helen"});
        return;
    }
    QCOMPARE(errorOf([&] { t->SetFilter(filter); }), "StaffTable: " + message);
    QCOMPARE(kindOf([&] { t->SetFilter(filter); }), ErrorKind::BadFilter);
    QCOMPARE(column(*t), (QStringList{"Abbott, Helen", "Baker, Tom"})); // the table as it was
}

void TstFaults::programMayEndWithoutClosingDatabases() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    int code = 0;
    QCOMPARE(runDesk({"open"}, &code), QString("opened"));
    QCOMPARE(code, 0);
}

void TstFaults::deleteRemovesTheRowByItsKey() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto board = staff();
    board->Open(); // a board that read the row and is not read again
    auto profile = staff();
    profile->Open();
    profile->Edit();
    profile->FieldByName("Destination")->SetAsString("Dentist");
    profile->Post();
    QCOMPARE(name(*board), QString("Abbott, Helen"));
    board->Delete();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Name = ?", {"Abbott, Helen"}).toInt(), 0);
    QCOMPARE(name(*board), QString("Baker, Tom"));
    // a row that is gone says so, and nothing else is touched
    db.exec("DELETE FROM Staff WHERE Name = ?", {"Baker, Tom"});
    db.addStaff("Carter, Ann");
    QCOMPARE(errorOf([&] { board->Delete(); }),
             QString("The row no longer exists: it was deleted since it was read. Refresh to see the rows as "
                     "they are now."));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 1);
}

void TstFaults::lostServerConnectionIsReportedAndRepaired() {
    testsupport::TestDatabase db;
    if (!db.postgres()) QSKIP("a server connection: PostgreSQL only");
    db.addStaff("Abbott, Helen");
    db.addStaff("Baker, Tom");
    auto t = staff();
    t->Open();
    auto cutOff = [&] {
        // what a server restart does to the desk's sessions
        db.native("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                  "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    };
    const QString lost =
        "The connection to the database server was lost (the server may have been restarted), "
        "so this operation was not completed. Try it again: the desk connects anew";

    // a pending edit: the post that meets the lost connection fails, the edit stays
    t->Edit();
    t->FieldByName("Destination")->SetAsString("Dentist");
    cutOff();
    QCOMPARE(errorOf([&] { t->Post(); }), lost);
    QCOMPARE(t->State(), DataSetState::Edit);
    QCOMPARE(t->FieldByName("Destination")->AsString(), QString("Dentist"));
    t->Post();
    QCOMPARE(db.scalar("SELECT Destination FROM Staff WHERE Name = ?", {"Abbott, Helen"}).toString(),
             QString("Dentist"));

    // a pending insert the same way
    t->Insert();
    t->FieldByName("Name")->SetAsString("Carter, Ann");
    t->FieldByName("Emp_Num")->SetAsString("3");
    cutOff();
    QCOMPARE(kindOf([&] { t->Post(); }), ErrorKind::ConnectionLost);
    QCOMPARE(t->State(), DataSetState::Insert);
    t->Post();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff").toInt(), 3);

    // a read, and a grouped save
    cutOff();
    QCOMPARE(errorOf([&] { t->Refresh(); }), lost);
    t->Refresh();
    auto log = staffLog();
    log->Open();
    // inside a grouped save: the half that was sent is gone with the session, and the row is
    // back in edit for the next try
    auto groupedSave = [&](bool cutHalfway) {
        try {
            data::Transaction tr(data::Database::forAlias(alias));
            t->Post();
            if (cutHalfway) cutOff();
            log->Insert();
            log->FieldByName("Name")->SetAsString(name(*t));
            log->Post();
            tr.Commit();
        } catch (...) {
            log->Cancel(); // as the windows' Save drops the history row
            throw;
        }
    };
    t->Edit();
    t->FieldByName("Status")->SetAsString("Out");
    QCOMPARE(kindOf([&] { groupedSave(true); }), ErrorKind::ConnectionLost);
    QCOMPARE(t->State(), DataSetState::Edit);
    QCOMPARE(t->FieldByName("Status")->AsString(), QString("Out"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Status = 'Out'").toInt(), 0);
    groupedSave(false);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 1);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM Staff WHERE Status = 'Out'").toInt(), 1);
}

void TstFaults::openingMessagesSayWhatToDo() {
    testsupport::TestDatabase db;
    const QString file = data::AliasConfig::configFilePath();
    {
        data::AliasConfig c;
        c.name = "Folder";
        c.path = db.dir();
        c.save();
        QSettings ini(file, QSettings::IniFormat);
        ini.setValue("Remote/Driver", "PSQL");
        ini.setValue("Remote/Host", "127.0.0.1");
        ini.setValue("Remote/Port", "54x32");
    }
    QCOMPARE(
        errorOf([] { data::Database::forAlias("Folder"); }),
        QString(
            "The database path of alias Folder is a folder, not a database file: %1. Point the alias at the "
            "database file itself")
            .arg(db.dir()));
    QCOMPARE(
        errorOf([] { data::AliasConfig::load("Remote"); }),
        QString("The port of alias Remote is not a port number: '54x32'. Write the database server's port (a "
                "number from 1 to 65535, 5432 by default) as Port in the alias file %1")
            .arg(file));
    data::Database::closeAll();
    // an alias file that cannot be read is not an unknown alias
    QVERIFY(QFile::rename(file, file + ".away"));
    QVERIFY(QDir().mkdir(file));
    QCOMPARE(
        errorOf([] { data::Database::forAlias(alias); }),
        QString(
            "Cannot read the alias file %1, so no database alias is known. Ask for read access to the file "
            "(it must be a file its owner may read)")
            .arg(file));
    QCOMPARE(kindOf([] { data::AliasConfig::load(alias); }), ErrorKind::AliasFile);
    QVERIFY(QDir().rmdir(file));
    QVERIFY(QFile::rename(file + ".away", file));
}

void TstFaults::readOnlyFolderIsNamed() {
    testsupport::TestDatabase db;
    if (db.postgres()) QSKIP("a database folder: SQLite only");
    db.addStaff("Abbott, Helen");
    data::Database::closeAll();
    // a copy of the database in a folder the desk may only read, opened by a desk of its own
    // (as another user when the test runs as root, whom no permission stops)
    const QString folder = db.dir() + "/readonly";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::copy(db.file(), folder + "/corvane2003.db"));
    data::AliasConfig c = data::AliasConfig::load(alias);
    c.path = folder + "/corvane2003.db";
    c.save();
    const bool root = geteuid() == 0;
    QStringList command{QUORVALE_DESK, "open"};
    if (root) {
        const QString config = data::AliasConfig::configFilePath();
        for (const QString& p :
             {db.dir(), folder, folder + "/corvane2003.db", config, QFileInfo(config).absolutePath(),
              QFileInfo(QFileInfo(config).absolutePath()).absolutePath()})
            QVERIFY(QFile::setPermissions(p, QFile::permissions(p) | QFile::ReadOther | QFile::ExeOther));
        QFile::setPermissions(folder + "/corvane2003.db",
                              QFile::permissions(folder + "/corvane2003.db") | QFile::WriteOther);
        command =
            QStringList{"runuser", "-u",  "nobody",
                        "--",      "env", "XDG_CONFIG_HOME=" + qEnvironmentVariable("XDG_CONFIG_HOME")} +
            command;
    }
    QVERIFY(QFile::setPermissions(folder,
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    QProcess p;
    p.start(command.first(), command.mid(1));
    QVERIFY(p.waitForFinished(60000));
    const QString said = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(said,
             QString("Cannot open the database of alias Corvane2003: its folder %1 is read-only, and the "
                     "database engine must write its working files there even to read. Ask for write access "
                     "to the folder, or move the database to a folder you may write to")
                 .arg(folder));
}

void TstFaults::fullDiskIsNamed() {
    testsupport::TestDatabase db;
    if (db.postgres()) QSKIP("a database file's size: SQLite only");
    auto t = staff();
    t->Open();
    // the engine's own limit on the file stands in for a full disk
    QSqlQuery q(data::Database::forAlias(alias).connection());
    QVERIFY(q.exec("PRAGMA max_page_count = 30"));
    QString message;
    for (int i = 0; i < 200 && message.isEmpty(); ++i) {
        t->Insert();
        t->FieldByName("Name")->SetAsString(QString("Row %1").arg(i));
        t->FieldByName("Emp_Num")->SetAsString(QString::number(i));
        t->FieldByName("Comments")->SetAsString(QString(4000, QChar('a' + i % 26)));
        try {
            t->Post();
        } catch (const data::Exception& e) {
            message = e.message();
        }
    }
    QCOMPARE(message,
             QString("The disk that holds the database is full, so the change was not stored. Free some "
                     "space on it, then try again"));
    QCOMPARE(t->State(), DataSetState::Insert);
}

void TstFaults::keyViolationNamesTheField() {
    testsupport::TestDatabase db;
    db.addStaff("Abbott, Helen", {{"Emp_Num", 7}});
    auto t = staff();
    t->Open();
    t->Insert();
    t->FieldByName("Name")->SetAsString("Abbott, Helen");
    t->FieldByName("Emp_Num")->SetAsString("8");
    QCOMPARE(errorOf([&] { t->Post(); }),
             QString("Key violation. Another row already has the same Name: enter "
                     "another value, or press Esc to abandon the change"));
    t->FieldByName("Name")->SetAsString("Baker, Tom");
    t->FieldByName("Emp_Num")->SetAsString("7");
    QCOMPARE(errorOf([&] { t->Post(); }),
             QString("Key violation. Another row already has the same Emp_Num: enter "
                     "another value, or press Esc to abandon the change"));
    QCOMPARE(kindOf([&] { t->Post(); }), ErrorKind::KeyViolation);
    QCOMPARE(t->State(), DataSetState::Insert);
}

void TstFaults::longTextsAreNotEchoedWhole() {
    testsupport::TestDatabase db;
    const QString longName(100000, 'x');
    const QString shown = QString(40, 'x') + "... (100000 characters)";
    auto t = staff();
    t->Open();
    t->Insert();
    QCOMPARE(errorOf([&] { t->FieldByName("Emp_Num")->SetAsString(longName); }),
             QString("'%1' is not a valid floating point value for field 'Emp_Num'").arg(shown));
    QCOMPARE(errorOf([&] { t->FieldByName("DOB")->SetAsString(longName); }),
             QString("'%1' is not a valid date").arg(shown));
    QCOMPARE(errorOf([&] { data::Database::forAlias(longName); }), "Unknown database alias: " + shown);
    // a text short enough is shown whole
    QCOMPARE(errorOf([&] { t->FieldByName("Emp_Num")->SetAsString("twelve"); }),
             QString("'twelve' is not a valid floating point value for field 'Emp_Num'"));
}

QTEST_MAIN(TstFaults)
#include "tst_faults.moc"
