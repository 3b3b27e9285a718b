#include "controls/application.h"
#include "controls/dialogs.h"
#include "data/errors.h"
#include <stdexcept>

namespace controls {

namespace {
QString& titleStorage() {
    static QString title;
    return title;
}

QString messageOf(const std::exception& e) {
    if (auto de = dynamic_cast<const data::Exception*>(&e)) return de->message();
    return QString::fromUtf8(e.what());
}
} // namespace

QString applicationTitle() { return titleStorage(); }

void setApplicationTitle(const QString& title) { titleStorage() = title; }

QString errorBoxText(const QString& message) {
    // Character-code order: a message ending in a blank, a control character or any
    // punctuation up to "." is left as it is.
    if (message.isEmpty() || message.back().unicode() <= u'.') return message;
    return message + u'.';
}

void HandleException(const std::exception& e) {
    prompter().ask(errorBoxText(messageOf(e)), MsgDlgType::Error, MsgButtons::OK, applicationTitle());
}

void runGuarded(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(std::runtime_error("Unknown exception"));
    }
}

} // namespace controls
