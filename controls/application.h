#pragma once
// The application object: its title and the default error handler. Every event handler of
// every window and every control action runs through runGuarded(): an exception of the
// layers skips the rest of the handler and is shown in the default error box; the program
// goes on and the window stays open.
#include <QString>
#include <functional>

namespace controls {

QString applicationTitle(); // "The Quorvale" once set
void setApplicationTitle(const QString& title);

// The message as the default error box shows it: "." is appended only when the message is
// not empty and its last character sorts after "." (so nothing after a blank, a control
// character or any of ! " # $ % & ' ( ) * + , - .).
QString errorBoxText(const QString& message);

// Shows the default error box for an exception (caption: the application title, OK, stop icon).
void HandleException(const std::exception& e);

// Runs f; an exception is handled by HandleException and not rethrown.
void runGuarded(const std::function<void()>& f);

} // namespace controls
