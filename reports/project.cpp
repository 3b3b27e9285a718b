#include "reports/project.h"
#include "reports/engine.h"
#include "reports/reporterror.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace reports {

static QString& folderOverride() {
    static QString f;
    return f;
}

void setProjectFolder(const QString& folder) { folderOverride() = folder; }

QString storedProjectFolder() { return QStringLiteral("C:\\Program Files\\Corvane\\"); }

QString projectFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    const QString env = qEnvironmentVariable("QUORVALE_REPORTS_DIR");
    if (!env.isEmpty()) return env;
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .absoluteFilePath(QStringLiteral("../share/quorvale/reports"));
    if (QFileInfo(installed).isDir()) return QDir::cleanPath(installed);
    return QStringLiteral(QUORVALE_BUILD_REPORTS_DIR);
}

QString resolveProjectFile(const QString& storedPath) {
    QString path = storedPath;
    const QString old = storedProjectFolder();
    if (path.startsWith(old, Qt::CaseInsensitive)) {
        QString rest = path.mid(old.size());
        rest.replace(u'\\', u'/');
        return QDir(projectFolder()).filePath(rest);
    }
    return path;
}

void Project::Execute() {
    if (!layout_) {
        const QString path = resolveProjectFile(projectFile_);
        if (!QFileInfo(path).isFile())
            throw ReportError(
                QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(path));
        layout_ = ReportLayout::load(path);
    }
    executeReport(*layout_);
}

} // namespace reports
