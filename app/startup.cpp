#include "app/startup.h"
#include "app/aboutform.h"
#include "app/employeeform.h"
#include "app/mainform.h"
#include "controls/application.h"
#include "controls/db/dbcontrols.h"
#include "controls/startuperror.h"
#include "data/database.h"
#include "data/deferrederror.h"
#include "layouts/layouts.h"
#include "locator/checkinform.h"
#include "locator/deptform.h"
#include "locator/destinationform.h"
#include "locator/employeeoutform.h"
#include "locator/form12.h"
#include "locator/inofficeform.h"
#include "locator/locatorform.h"
#include "locator/locatorform2.h"
#include "locator/updateform.h"
#include "messages/addmsgform.h"
#include "messages/mediaform.h"
#include "messages/msgform.h"
#include "messages/msgtypeform.h"
#include "records/dskstaff.h"
#include "records/importform.h"
#include "records/passwordform.h"
#include "reports/components.h"
#include <QApplication>

#ifndef QUORVALE_VERSION
#define QUORVALE_VERSION "8.1.0.0"
#endif

namespace app {

namespace {

QList<controls::Form*>& windows() {
    static QList<controls::Form*> list;
    return list;
}

// Each window is reachable through its global instance as its creation begins; a failed
// creation destroys it again, so an error leaves no instance pointing at a half-made window.
template <class T> void create() { windows().append(new T()); }

} // namespace

void initialiseApplication() {
    const QString title = QStringLiteral("The Quorvale");
    controls::setApplicationTitle(title);
    // The task bar takes the program's name from the application name and the desktop entry;
    // a display name would be appended by the platform to every window title ("Main Menu").
    QCoreApplication::setApplicationName(title);
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVALE_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Brindlow Development Group"));
    layouts::ensureLoaded();
    controls::registerDataControls();
    reports::registerComponentClasses();
    // errors met while unwinding (a rolled-back save putting its windows back) in the default box
    data::setDeferredErrorReporter([](const data::Exception& e) { controls::HandleException(e); });
}

void createWindows() {
    create<TMainForm>();
    create<TUpdateForm>();
    create<TLocatorForm>();
    create<TLocatorForm2>();
    create<TForm12>();
    create<TCheckInForm>();
    create<TDestinationForm>();
    create<TDeptForm>();
    create<TDSKSTAFF>();
    create<TPasswordForm>();
    create<TInOfficeForm>();
    create<TEmployeeOutForm>();
    create<TMediaForm>();
    create<TMsgForm>();
    create<TAddMsgForm>();
    create<TMsgTypeForm>();
    create<TAboutForm>();
    create<TEmployeeForm>();
    create<TImportForm>();
}

void destroyWindows() {
    // Last made first: a window may point at the data objects of one made before it (the
    // password window's data source at the profile window's table), never the other way.
    auto& list = windows();
    while (!list.isEmpty())
        delete list.takeLast();
}

QList<controls::Form*> createdWindows() { return windows(); }

void showMainWindow() {
    // At the stored place and size. A start geometry given to the program (-qwindowgeometry)
    // is applied by Qt to the first ordinary window it shows, which is this one.
    MainForm->beginShowing();
}

int runApplication() {
    initialiseApplication();
    // The program ends only by "Exit" or the main window's close, never because a window hid.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (!controls::runStartup(&createWindows)) {
        destroyWindows();
        data::Database::closeAll();
        return 1;
    }
    showMainWindow();
    const int code = QApplication::exec();
    // Every window goes with its tables and queries: a pending edit or insert is dropped and
    // no close event runs.
    destroyWindows();
    data::Database::closeAll();
    return code;
}

int runQuorvale(int argc, char** argv) {
    QApplication application(argc, argv);
    return runApplication();
}

} // namespace app
