#include "controls/startuperror.h"
#include "controls/dialogs.h"
#include "data/errors.h"
#include <stdexcept>
#include <QCoreApplication>
#include <QFileInfo>

namespace controls {

QString startupErrorText(const std::exception& e, const QString& moduleName, const void* address) {
    QString kind = QStringLiteral("Exception");
    QString message;
    if (auto de = dynamic_cast<const data::Exception*>(&e)) {
        kind = QString::fromLatin1(de->kindName());
        message = de->message();
    } else {
        message = QString::fromUtf8(e.what());
    }
    const QString dot = (message.isEmpty() || message.endsWith(u'.')) ? QString() : QStringLiteral(".");
    const auto addr = reinterpret_cast<quintptr>(address);
    const QString addrText =
        QStringLiteral("%1").arg(addr, int(sizeof(void*) * 2), 16, QChar(u'0')).toUpper();
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4%5\r\n")
        .arg(kind, moduleName, addrText, message, dot);
}

void showStartupError(const std::exception& e) {
    QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (module.isEmpty()) module = QCoreApplication::applicationName();
    // No code address survives a C++ exception; the exception object's own address stands in.
    prompter().ask(startupErrorText(e, module, &e), MsgDlgType::Error, MsgButtons::OK,
                   QStringLiteral("Application Error"));
}

bool runStartup(const std::function<void()>& createWindows) {
    try {
        createWindows();
        return true;
    } catch (const std::exception& e) {
        showStartupError(e);
    } catch (...) {
        showStartupError(std::runtime_error("Unknown exception"));
    }
    return false;
}

} // namespace controls
