#pragma once
// A report project component: names its project file and runs it. The first Execute loads
// the file; the project then stays loaded for the rest of the run.
#include "reports/layout.h"
#include <QString>
#include <optional>

namespace reports {

class Project {
public:
    explicit Project(QString name) : name_(std::move(name)) {}
    const QString& name() const { return name_; }

    const QString& ProjectFile() const { return projectFile_; }
    void SetProjectFile(const QString& path) { projectFile_ = path; }
    bool isLoaded() const { return layout_.has_value(); }

    // Loads the project on the first call (a missing file raises ReportError and leaves the
    // project unloaded, so the next call tries again), then runs its report.
    void Execute();

private:
    QString name_;
    QString projectFile_;
    std::optional<ReportLayout> layout_;
};

// The stored project paths keep the program's old folder "C:\Program Files\Corvane\"; it
// stands for the folder the report projects are installed in.
QString storedProjectFolder();
// Where a stored path's file is looked for.
QString resolveProjectFile(const QString& storedPath);
// The folder of the installed projects: $QUORVALE_REPORTS_DIR, else the data folder next to
// the program (<prefix>/share/quorvale/reports), else the build tree's copy.
QString projectFolder();
void setProjectFolder(const QString& folder); // empty: back to the default (tests)

} // namespace reports
