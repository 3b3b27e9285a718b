// Start-up to the main window on the sample database, and on the sample database grown to
// 1,000, 10,000, 100,000 and 1,000,000 employees with plain SQL: the best of five start-ups
// each; then at each size the name pickers over a query of the names (check-out window,
// message reader): typing a name's first letters, and End, the best of five.
//
//   cmake --build build-bench --target bench_startup && QT_QPA_PLATFORM=offscreen
//   build-bench/bench/bench_startup [--psql host=H,port=P,database=D,user=U]
//
// With --psql the database is an empty one on a PostgreSQL server (the admin tool makes the
// tables there; the bench leaves them behind, grown).
#include "admin/schema_admin.h"
#include "app/startup.h"
#include "controls/db/dblookup.h"
#include "controls/form.h"
#include "data/alias.h"
#include "data/database.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

double startUpMs() {
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        app::createWindows();
        app::showMainWindow();
        QCoreApplication::processEvents();
        best = std::min(best, t.nsecsElapsed() / 1e6);
        app::destroyWindows();
        data::Database::closeAll();
    }
    return best;
}

void press(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &e);
}

struct PickerMs {
    double typing = 1e300, end = 1e300;
};

// The picker of a window: typing `typed` from the first name, then End.
PickerMs pickerMs(const QString& window, const QString& typed) {
    PickerMs best;
    app::createWindows();
    controls::DBLookupComboBox* picker = nullptr;
    for (controls::Form* f : app::createdWindows())
        if (f->objectName() == window)
            picker = f->findChild<controls::DBLookupComboBox*>("DBLookupComboBox1");
    if (!picker) {
        fprintf(stderr, "no name picker in %s\n", qPrintable(window));
        exit(1);
    }
    for (int i = 0; i < 5; ++i) {
        press(picker, Qt::Key_Home);
        press(picker, Qt::Key_Backspace); // a new search text
        QElapsedTimer t;
        t.start();
        for (QChar c : typed)
            press(picker, c.toUpper().unicode(), QString(c));
        best.typing = std::min(best.typing, t.nsecsElapsed() / 1e6);
        if (!picker->text().startsWith(typed, Qt::CaseInsensitive)) {
            fprintf(stderr, "typing \"%s\" chose \"%s\"\n", qPrintable(typed), qPrintable(picker->text()));
            exit(1);
        }
        t.restart();
        press(picker, Qt::Key_End);
        best.end = std::min(best.end, t.nsecsElapsed() / 1e6);
    }
    app::destroyWindows();
    data::Database::closeAll();
    return best;
}

QString grownName(int i) { return QString("Grown %1, Pat").arg(i, 7, 10, QChar('0')); }

// Employees [from, to) in one transaction, by plain SQL on a connection of the bench's own.
void grow(const data::AliasConfig& cfg, int from, int to) {
    const bool pg = cfg.driver == "PSQL";
    QSqlDatabase db = QSqlDatabase::addDatabase(pg ? "QPSQL" : "QSQLITE", "grow");
    if (pg) {
        db.setHostName(cfg.host);
        db.setPort(cfg.port > 0 ? cfg.port : 5432);
        db.setDatabaseName(cfg.database);
        db.setUserName(cfg.user);
        db.setPassword(cfg.password);
    } else {
        db.setDatabaseName(cfg.path);
    }
    if (!db.open()) {
        fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        exit(1);
    }
    db.transaction();
    {
        QSqlQuery q(db);
        if (pg) {
            // one statement on a server: a million round trips would time the network
            if (!q.exec(
                    QString("INSERT INTO \"Staff\" (\"Name\", \"Department\", \"Status\", \"Destination\") "
                            "SELECT 'Grown ' || lpad(i::text, 7, '0') || ', Pat', 'Dept ' || (i %% 40), "
                            "CASE WHEN i %% 3 <> 0 THEN 'IN' ELSE 'Out' END, "
                            "CASE WHEN i %% 3 <> 0 THEN 'IN Office' ELSE 'Client site' END "
                            "FROM generate_series(%1, %2) AS i")
                        .arg(from)
                        .arg(to - 1)
                        .replace("%%", "%"))) {
                fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                exit(1);
            }
        } else {
            q.prepare("INSERT INTO \"Staff\" (\"Name\", \"Department\", \"Status\", \"Destination\") VALUES "
                      "(?, ?, ?, ?)");
            for (int i = from; i < to; ++i) {
                q.addBindValue(grownName(i));
                q.addBindValue(QString("Dept %1").arg(i % 40));
                q.addBindValue(i % 3 ? "IN" : "Out");
                q.addBindValue(i % 3 ? "IN Office" : "Client site");
                q.exec();
            }
        }
    }
    db.commit();
    if (pg) QSqlQuery(db).exec("ANALYZE \"Staff\""); // as the server's autovacuum would soon
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("grow");
    if (!pg) {
        // On disk before the start-ups are timed: otherwise the system writes the grown file
        // out while they run, and that, not the program, grows with the register.
        const int fd = ::open(QFile::encodeName(cfg.path).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    QApplication a(argc, argv);
    app::initialiseApplication();
    data::AliasConfig cfg;
    const QStringList args = QCoreApplication::arguments();
    const qsizetype psql = args.indexOf("--psql");
    if (psql > 0 && psql + 1 < args.size()) {
        cfg = admin::parsePostgresSettings(args[psql + 1]);
        admin::initDatabase(cfg, true);
    } else {
        const QString file = dir.path() + "/corvane2003.db";
        admin::initDatabase(file, true);
        cfg = data::AliasConfig::load(admin::databaseAlias);
    }
    const double sample = startUpMs();
    printf("%-22s %10s %8s   %-28s %-28s\n", "", "start-up", "", "check-out picker", "message reader picker");
    printf("%-22s %10s %8s   %13s %13s  %13s %13s\n", "", "ms", "x sample", "typing ms", "End ms",
           "typing ms", "End ms");
    printf("%-22s %10.1f %8s\n", "sample database", sample, "");
    fflush(stdout);
    int have = 0;
    for (int n : {1000, 10000, 100000, 1000000}) {
        grow(cfg, have, n);
        have = n;
        const double ms = startUpMs();
        const QString typed = QString("grown %1").arg(n / 2, 7, 10, QChar('0'));
        const PickerMs checkOut = pickerMs("CheckInForm", typed);
        const PickerMs reader = pickerMs("MsgForm", typed);
        printf("%-22s %10.1f %7.2fx   %13.2f %13.2f  %13.2f %13.2f\n",
               qPrintable(QString("%1 employees").arg(n)), ms, ms / sample, checkOut.typing, checkOut.end,
               reader.typing, reader.end);
        fflush(stdout);
    }
    return 0;
}
