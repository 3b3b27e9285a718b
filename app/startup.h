#pragma once
// Start-up, the message loop and the end of the program.
#include <QList>

namespace controls {
class Form;
}

namespace app {

// The program's identity: the application title "The Quorvale" (task bar and default error
// box), the version record (8.1.0.0, "Brindlow Development Group", "The Quorvale") and the
// data-aware control classes the layouts name.
void initialiseApplication();

// Creates the nineteen windows one after another in their fixed order, MainForm first. A
// window whose creation fails raises its error; creation stops there and the windows made
// before it stay (destroyWindows() removes them).
void createWindows();

// Destroys every window that createWindows() made, the last made first. Their tables and
// queries close without posting and without their close events.
void destroyWindows();

// The windows createWindows() made, in the order of creation.
QList<controls::Form*> createdWindows();

// Shows the main window at its stored place and size, unless the program was started with a
// window geometry of its own.
void showMainWindow();

// Start-up, message loop and end on the running application object; the exit code.
// A failure while the windows are created shows the "Application Error" box and gives 1.
int runApplication();

// The whole program: the application object, then runApplication().
int runQuorvale(int argc, char** argv);

} // namespace app
