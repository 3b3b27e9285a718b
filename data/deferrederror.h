#pragma once
// Errors met where they cannot be thrown: a destructor, which may run while the stack
// unwinds from another error (a rolled-back transaction putting its datasets back). They
// are reported once the event in progress has ended, through the reporter the program
// installs (its default error box); without one they go to the log.
#include "errors.h"
#include <functional>

namespace data {

using ErrorReporter = std::function<void(const Exception&)>;

void setDeferredErrorReporter(ErrorReporter reporter);

// Keeps a copy of the error (its message and kind) and reports it after the current event.
// Never throws.
void reportDeferred(const Exception& e) noexcept;
// The exception being handled, as reportDeferred takes it (for catch (...) blocks).
void reportCurrentExceptionDeferred() noexcept;

} // namespace data
