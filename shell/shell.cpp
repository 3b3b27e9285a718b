#include "shell/shell.h"
#include <QProcess>
#include <QStringList>

namespace shell {

namespace {
std::shared_ptr<Shell>& current() {
    static std::shared_ptr<Shell> s = std::make_shared<DesktopShell>();
    return s;
}
} // namespace

QString DesktopShell::program() { return QStringLiteral("xdg-open"); }

void DesktopShell::open(const QString& link) {
    // Detached: the opener may stay until the mail program ends, and the desk goes on at once.
    // A missing opener is ignored like any other outcome.
    QProcess::startDetached(program(), QStringList{link});
}

Shell& shell() { return *current(); }

void setShell(std::shared_ptr<Shell> s) { current() = s ? std::move(s) : std::make_shared<DesktopShell>(); }

void openLink(const QString& link) { shell().open(link); }

} // namespace shell
