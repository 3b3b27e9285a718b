#include "apptest.h"
#include "app/aboutform.h"
#include "app/employeeform.h"
#include "app/mainform.h"
#include "app/startup.h"
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
#include <QHash>

namespace apptest {

const QStringList& windowNames() {
    static const QStringList names = {"MainForm",  "UpdateForm",   "LocatorForm",     "LocatorForm2",
                                      "Form12",    "CheckInForm",  "DestinationForm", "DeptForm",
                                      "DSKSTAFF",  "PasswordForm", "InOfficeForm",    "EmployeeOutForm",
                                      "MediaForm", "MsgForm",      "AddMsgForm",      "MsgTypeForm",
                                      "AboutForm", "EmployeeForm", "ImportForm"};
    return names;
}

controls::Form* instance(const QString& name) {
    using Getter = controls::Form* (*)();
    static const QHash<QString, Getter> globals = {
        {"MainForm", []() -> controls::Form* { return MainForm; }},
        {"UpdateForm", []() -> controls::Form* { return UpdateForm; }},
        {"LocatorForm", []() -> controls::Form* { return LocatorForm; }},
        {"LocatorForm2", []() -> controls::Form* { return LocatorForm2; }},
        {"Form12", []() -> controls::Form* { return Form12; }},
        {"CheckInForm", []() -> controls::Form* { return CheckInForm; }},
        {"DestinationForm", []() -> controls::Form* { return DestinationForm; }},
        {"DeptForm", []() -> controls::Form* { return DeptForm; }},
        {"DSKSTAFF", []() -> controls::Form* { return DSKSTAFF; }},
        {"PasswordForm", []() -> controls::Form* { return PasswordForm; }},
        {"InOfficeForm", []() -> controls::Form* { return InOfficeForm; }},
        {"EmployeeOutForm", []() -> controls::Form* { return EmployeeOutForm; }},
        {"MediaForm", []() -> controls::Form* { return MediaForm; }},
        {"MsgForm", []() -> controls::Form* { return MsgForm; }},
        {"AddMsgForm", []() -> controls::Form* { return AddMsgForm; }},
        {"MsgTypeForm", []() -> controls::Form* { return MsgTypeForm; }},
        {"AboutForm", []() -> controls::Form* { return AboutForm; }},
        {"EmployeeForm", []() -> controls::Form* { return EmployeeForm; }},
        {"ImportForm", []() -> controls::Form* { return ImportForm; }}};
    const Getter get = globals.value(name);
    return get ? get() : nullptr;
}

QStringList instancesState() {
    QStringList state;
    for (const QString& name : windowNames())
        state << (instance(name) ? name : name + "=null");
    return state;
}

Session::Session(bool sample)
    : db_(std::make_unique<testsupport::TestDatabase>(sample)),
      env_(std::make_unique<testsupport::UiTestEnv>()) {
    testsupport::useFixedFormats();
}

Session::~Session() {
    app::destroyWindows();
    env_.reset();
    db_.reset();
}

void Session::createWindows() {
    app::initialiseApplication();
    app::createWindows();
}

} // namespace apptest
