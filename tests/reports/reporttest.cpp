#include "reporttest.h"
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>

namespace reporttest {

namespace {
class ScriptedStatus : public reports::StatusWindow {
public:
    explicit ScriptedStatus(ScriptedReportWindows& w) : w_(w) {}
    bool progress(const QString& phase, int pages, qint64 rows) override {
        w_.progress << QStringLiteral("%1 %2 %3").arg(phase).arg(pages).arg(rows);
        return !(phase == w_.cancelInPhase);
    }

private:
    ScriptedReportWindows& w_;
};
} // namespace

bool ScriptedReportWindows::outputOptions(const QString& title, reports::OutputOptions& options) {
    shown << QStringLiteral("Output Options");
    options = next;
    return !cancelOptions;
}

std::unique_ptr<reports::StatusWindow> ScriptedReportWindows::status(const QString&) {
    shown << QStringLiteral("Report Status");
    return std::make_unique<ScriptedStatus>(*this);
}

void ScriptedReportWindows::preview(reports::ReportDocument& document) {
    shown << QStringLiteral("Report Preview");
    auto draw = [&](int page) {
        QImage img(document.pageSizePoints().toSize(), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        document.drawPage(page, p);
        return img;
    };
    previewCountedAtFirst = document.pagesCounted();
    previewFirstPage = draw(0);
    while (!document.pagesCounted())
        document.countPages(10);
    previewPages = document.pageCount();
    previewLastPage = draw(previewPages - 1);
}

QString pdfText(const QString& file) {
    if (!QFile::exists(file)) return {};
    QProcess p;
    p.start(QStringLiteral(QUORVALE_PDFTOTEXT), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace reporttest
