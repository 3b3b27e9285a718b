// The history report written to PDF over 10,000, 100,000 and 1,000,000 Staff_Log rows,
// against a baseline that draws the same text lines with a bare QPainter on a QPdfWriter.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BENCH=ON
//   cmake --build build-bench --target bench_reports && build-bench/bench/bench_reports [rows...]
//
// Prints rows, seconds and peak resident memory of each run; each run is a process of its own
// (the program runs itself with --one) so that the peaks do not mix. The report runs as the
// menu runs it, through its project's Execute, with "Output Options" answered; a third run
// opens the preview and times its first page and the count of the rest. The PDFs stay under
// $TMPDIR/quorvale-bench-reports for a look.
#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/query.h"
#include "reports/connection.h"
#include "reports/engine.h"
#include "reports/layout.h"
#include "reports/project.h"
#include "reports/reportwindows.h"
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

// "Output Options" answers with the file or the preview; the preview notes when its first
// page is drawn and then counts the rest, as the preview window does while it shows.
class BenchWindows : public reports::ReportWindows {
public:
    reports::OutputOptions options;
    QElapsedTimer clock;
    double firstPage = 0, counted = 0;
    int pages = 0;
    bool outputOptions(const QString&, reports::OutputOptions& o) override {
        o = options;
        return true;
    }
    std::unique_ptr<reports::StatusWindow> status(const QString&) override {
        // notes the pages counted
        struct Quiet : reports::StatusWindow {
            int& pages;
            explicit Quiet(int& p) : pages(p) {}
            bool progress(const QString& phase, int n, qint64) override {
                if (phase == "Counting pages") pages = n;
                return true;
            }
        };
        return std::make_unique<Quiet>(pages);
    }
    void preview(reports::ReportDocument& doc) override {
        QImage img(QSize(1100, 850), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        doc.drawPage(0, p);
        p.end();
        firstPage = clock.elapsed() / 1000.0;
        while (!doc.pagesCounted())
            doc.countPages(20);
        counted = clock.elapsed() / 1000.0;
        pages = doc.pageCount();
    }
};

int runOne(int rows, const QString& kind) {
    const bool baseline = kind == "baseline";
    QDir().mkpath(dir());
    const QString file = dir() + QString("/log%1.db").arg(rows);
    qputenv("XDG_CONFIG_HOME", (dir() + "/config").toUtf8());
    makeDatabase(file, rows);
    admin::registerAlias("Corvane2003", file);
    const QString pdf = dir() + QString("/%1-%2.pdf").arg(kind).arg(rows);
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
        reports::Project project("RvProject1");
        project.SetProjectFile("C:\\Program Files\\Corvane\\IN_Out_Transactions.rav");
        auto windows = std::make_shared<BenchWindows>();
        windows->clock.start();
        windows->options.destination =
            kind == "preview" ? reports::Destination::Preview : reports::Destination::File;
        windows->options.fileName = pdf;
        reports::setReportWindows(windows);
        project.Execute();
        if (kind == "preview") {
            std::fprintf(
                stderr, "%-8s rows %8d  pages %6d  first page %5.2f s  all counted %6.2f s  peak %5ld MB\n",
                "preview", rows, windows->pages, windows->firstPage, windows->counted, peakKb() / 1024);
            return 0;
        }
        pages = windows->pages;
    }
    std::fprintf(stderr, "%-8s rows %8d  pages %6d  %7.2f s  peak %7ld MB\n",
                 baseline ? "baseline" : "report", rows, pages, t.elapsed() / 1000.0, peakKb() / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--one") return runOne(args.value(1).toInt(), args.value(2));
    if (args.isEmpty()) args = {"10000", "100000", "1000000"};
    for (const QString& n : args)
        for (const char* kind : {"baseline", "report", "preview"})
            QProcess::execute(app.applicationFilePath(), {"--one", n, kind});
    return 0;
}
