#pragma once
// The report engine's windows scripted for tests: "Output Options" answers with preset
// options, "Report Status" may press Cancel, "Report Preview" records what it was shown.
#include "reports/reportwindows.h"
#include <QImage>
#include <QString>
#include <QStringList>

namespace reporttest {

class ScriptedReportWindows : public reports::ReportWindows {
public:
    reports::OutputOptions next;        // what "Output Options" answers
    bool cancelOptions = false;         // Cancel in "Output Options"
    QString cancelInPhase;              // Cancel in "Report Status" at the first progress of this phase
    QStringList shown;                  // every window shown, in order
    QStringList progress;               // "phase pages rows" of every progress report
    int previewPages = -1;              // pages of the preview once they are all counted
    bool previewCountedAtFirst = false; // every page counted when page 1 was drawn
    QImage previewFirstPage;            // page 1 as the preview draws it first
    QImage previewLastPage;             // the last page, drawn once all are counted

    bool outputOptions(const QString& title, reports::OutputOptions& options) override;
    std::unique_ptr<reports::StatusWindow> status(const QString& title) override;
    void preview(reports::ReportDocument& document) override;
};

// The text of a PDF file, laid out (pdftotext -layout); empty when the file is missing.
QString pdfText(const QString& file);

} // namespace reporttest
