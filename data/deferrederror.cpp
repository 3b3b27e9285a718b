// Errors reported after the event in progress, for code that must not throw.
#include "deferrederror.h"
#include <QCoreApplication>
#include <QMetaObject>
#include <QtGlobal>
#include <exception>
#include <memory>

namespace data {

namespace {

ErrorReporter& reporterStorage() {
    static ErrorReporter r;
    return r;
}

void deliver(const DatabaseError& e) noexcept {
    try {
        if (const ErrorReporter& r = reporterStorage()) {
            r(e);
            return;
        }
    } catch (...) {
        // the reporter itself failed: the log is all that is left
    }
    qWarning("quorvale: %s", e.what());
}

} // namespace

void setDeferredErrorReporter(ErrorReporter reporter) { reporterStorage() = std::move(reporter); }

void reportDeferred(const Exception& e) noexcept {
    try {
        const auto* de = dynamic_cast<const DatabaseError*>(&e);
        auto copy = std::make_shared<DatabaseError>(e.message(), de ? de->kind() : ErrorKind::Other);
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app, [copy] { deliver(*copy); }, Qt::QueuedConnection);
            return;
        }
        deliver(*copy);
    } catch (...) {
        qWarning("quorvale: %s", e.what());
    }
}

void reportCurrentExceptionDeferred() noexcept {
    try {
        throw;
    } catch (const Exception& e) {
        reportDeferred(e);
    } catch (const std::exception& e) {
        reportDeferred(DatabaseError(QString::fromUtf8(e.what())));
    } catch (...) {
        reportDeferred(DatabaseError(QStringLiteral("Unknown exception")));
    }
}

} // namespace data
