#pragma once
// The start-up failure box: an error while the windows are created at start-up ends the
// program before any window is shown, after one box captioned "Application Error".
#include <QString>
#include <exception>
#include <functional>

namespace controls {

// "Exception <kind> in module <program file> at <address>.\r\n<message><.>\r\n"; the kind is
// data::Exception::kindName() (else "Exception"), "." follows the message unless it is empty
// or already ends in ".".
QString startupErrorText(const std::exception& e, const QString& moduleName, const void* address);

// The box itself (through the prompter): caption "Application Error", OK, stop icon. The
// module is the program file's name.
void showStartupError(const std::exception& e);

// Runs the start-up steps; on an exception shows the start-up box and returns false (the
// caller then ends the program with exit code 1).
bool runStartup(const std::function<void()>& createWindows);

} // namespace controls
