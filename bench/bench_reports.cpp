// The history report written to PDF over 10,000, 100,000 and 1,000,000 Staff_Log rows,
// against a baseline that draws the same text lines with a bare QPainter on a QPdfWriter.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BENCH=ON
//   cmake --build build-bench --target bench_reports && build-bench/bench/bench_reports [rows...]
//
// Prints rows, seconds and peak resident memory of each run; each run is a process of its own
// (the program runs itself with --one) so that the peaks do not mix. The PDFs stay under
// $TMPDIR/quorvale-bench-reports for a look.
#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/query.h"
#include "reports/connection.h"
#include "reports/engine.h"
#include "reports/layout.h"
#include "reports/project.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

QString dir() { return QDir::tempPath() + "/quorvale-bench-reports"; }

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void makeDatabase(const QString& file, int rows) {
    if (QFileInfo::exists(file)) return;
    admin::initDatabase(file, false);
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
    db.setDatabaseName(file);
    db.open();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(
        "INSERT INTO Staff_Log (Transaction_Date, Transaction_Time, Name, Department, Destination, Status) "
        "VALUES (?, ?, ?, 'Sales', 'Bank', ?)");
    for (int i = 0; i < rows; ++i) {
        q.addBindValue(QString("%1/%2/26").arg(1 + i % 12).arg(1 + i % 28));
        q.addBindValue(QString("%1:%2:00 AM").arg(1 + i % 12).arg(i % 60, 2, 10, QChar('0')));
        q.addBindValue(QString("Person %1, P").arg(i % 5000, 4, 10, QChar('0')));
        q.addBindValue(i % 2 ? "IN" : "Out");
        q.exec();
    }
    db.commit();
}

int runOne(int rows, bool baseline) {
    QDir().mkpath(dir());
    const QString file = dir() + QString("/log%1.db").arg(rows);
    qputenv("XDG_CONFIG_HOME", (dir() + "/config").toUtf8());
    makeDatabase(file, rows);
    admin::registerAlias("Corvane2003", file);
    const QString pdf = dir() + QString("/%1-%2.pdf").arg(baseline ? "baseline" : "report").arg(rows);
    data::Query query("Query1");
    query.SetDatabaseName("Corvane2003");
    query.SetSQL({"SELECT Transaction_Id, Transaction_Date, Transaction_Time, Name, Department, Destination, "
                  "[Date Left], Time_Left, Return_Date, Return_Time, Status, Contact_Phone",
                  "FROM Staff_Log Staff_log", "ORDER BY Name, Transaction_Id"});
    query.Open();
    QElapsedTimer t;
    t.start();
    int pages = 0;
    if (baseline) {
        // The same lines, one row a line, 38 lines a page, with a bare painter.
        QPdfWriter w(pdf);
        w.setResolution(300);
        w.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF()));
        QPainter p(&w);
        QFont f("DejaVu Sans");
        f.setPointSizeF(8);
        p.setFont(f);
        const double line = 8 * 1.55 * 300 / 72;
        int y = 0;
        for (query.First(); !query.Eof(); query.Next()) {
            if (y == 38) {
                w.newPage();
                ++pages;
                y = 0;
            }
            double x = 150;
            for (int c = 1; c < 12; ++c) {
                p.drawText(QPointF(x, 300 + y * line), query.fields()[c]->AsString());
                x += 250;
            }
            ++y;
        }
        ++pages;
    } else {
        reports::DataConnection conn("RvQueryConnection1", &query);
        const reports::ReportLayout layout = reports::ReportLayout::load(
            reports::resolveProjectFile("C:\\Program Files\\Corvane\\IN_Out_Transactions.rav"));
        conn.open();
        auto doc = reports::makeDocument(layout, conn);
        pages = doc->pageCount();
        reports::OutputOptions o;
        o.destination = reports::Destination::File;
        o.fileName = pdf;
        doc->print(o);
        conn.close();
    }
    std::fprintf(stderr, "%-8s rows %8d  pages %6d  %7.2f s  peak %7ld MB\n",
                 baseline ? "baseline" : "report", rows, pages, t.elapsed() / 1000.0, peakKb() / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--one") return runOne(args.value(1).toInt(), args.value(2) == "baseline");
    if (args.isEmpty()) args = {"10000", "100000", "1000000"};
    for (const QString& n : args)
        for (const char* kind : {"baseline", "report"})
            QProcess::execute(app.applicationFilePath(), {"--one", n, kind});
    return 0;
}
