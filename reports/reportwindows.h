#pragma once
// The report engine's own windows: "Output Options", "Report Status" and "Report Preview".
// They go through one replaceable object, so tests choose the output and script a Cancel.
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;
class QPrinter;
class QRectF;

namespace reports {

enum class Destination { Printer, Preview, File };

struct OutputOptions {
    Destination destination = Destination::Preview;
    QString fileName; // the PDF file for Destination::File
    int copies = 1;
    int fromPage = 0, toPage = 0; // 0: all pages
};

// A report laid out and ready to draw: what the preview shows and prints. The pages are
// counted as the rows stream in; the preview shows the first ones while the rest are counted.
class ReportDocument {
public:
    virtual ~ReportDocument() = default;
    virtual QString title() const = 0;
    // The pages laid out so far; every page once pagesCounted().
    virtual int pageCount() const = 0;
    virtual bool pagesCounted() const = 0;
    // Lays out up to pages further pages without drawing them.
    virtual void countPages(int pages) = 0;
    virtual QSizeF pageSizePoints() const = 0;
    // Draws a counted page (0-based) onto a painter whose device is one whole page. Before
    // the count is done, "Page N of M" shows M as "...".
    virtual void drawPage(int page, QPainter& painter) = 0;
    // The whole report (or a page range) to the engine's printer or to a PDF file, under
    // "Report Status" (the pages left to count are counted first); false when cancelled.
    virtual bool print(const OutputOptions& options) = 0;
};

// "Report Status": shown while the report is written; progress() answers false once the
// user pressed Cancel.
class StatusWindow {
public:
    virtual ~StatusWindow() = default;
    virtual bool progress(const QString& phase, int pages, qint64 rows) = 0;
};

class ReportWindows {
public:
    virtual ~ReportWindows() = default;
    // "Output Options": false when cancelled. The options come preset with the last choice.
    virtual bool outputOptions(const QString& reportTitle, OutputOptions& options) = 0;
    virtual std::unique_ptr<StatusWindow> status(const QString& reportTitle) = 0;
    // "Report Preview", modal until the user closes it.
    virtual void preview(ReportDocument& document) = 0;
};

ReportWindows& reportWindows();
void setReportWindows(std::shared_ptr<ReportWindows> windows); // nullptr: the engine's own

// The engine's printer: a selection of its own, apart from the program's Print Setup.
QPrinter& reportPrinter();

} // namespace reports
