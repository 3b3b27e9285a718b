#include "app/mainform.h"
#include "app/aboutform.h"
#include "app/appfonts.h"
#include "controls/printersetup.h"
#include "locator/checkinform.h"
#include "locator/deptform.h"
#include "locator/destinationform.h"
#include "locator/form12.h"
#include "locator/updateform.h"
#include "messages/addmsgform.h"
#include "messages/mediaform.h"
#include "messages/msgform.h"
#include "messages/msgtypeform.h"
#include "records/dskstaff.h"
#include "records/importform.h"
#include "reports/connection.h"
#include "reports/project.h"
#include <QCloseEvent>
#include <QCoreApplication>

TMainForm::TMainForm(QWidget* parent) : controls::Form(QStringLiteral("MainForm"), parent) {
    FORM_HANDLER(Setup1Click);
    FORM_HANDLER(ImportContacts1Click);
    FORM_HANDLER(PrintSetup1Click);
    FORM_HANDLER(ExitClick);
    FORM_HANDLER(DestinationList1Click);
    FORM_HANDLER(DepartmentList1Click);
    FORM_HANDLER(LocatorBoard1Click);
    FORM_HANDLER(EmployeeCheckIn1Click);
    FORM_HANDLER(EmployeeCheckOut1Click);
    FORM_HANDLER(EmployeeView1Click);
    FORM_HANDLER(DepartmentView1Click);
    FORM_HANDLER(EmployeesIN1Click);
    FORM_HANDLER(EmployeesOut1Click);
    FORM_HANDLER(INOutHistory1Click);
    FORM_HANDLER(Media1Click);
    FORM_HANDLER(MessageTypeListing1Click);
    FORM_HANDLER(AddMessage1Click);
    FORM_HANDLER(ReadMessages1Click);
    FORM_HANDLER(About1Click);
    load();

    // The main window is an ordinary top-level window, not a dialog: it blocks no other
    // window, has the full frame and a task-bar entry of its own.
    setWindowModality(Qt::NonModal);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    // The stored layout cannot hold pixel heights of fonts.
    app::useRoundedFont(child("StaticText1"), 24);
    app::useRoundedFont(child("StaticText2"), 13);
    app::useRoundedFont(child("Label1"), 11);
    app::useRoundedFont(child("StaticText3"), 11);
}

reports::Project& TMainForm::project(const QString& name) const { return component<reports::Project>(name); }

reports::DataConnection& TMainForm::connection(const QString& name) const {
    return component<reports::DataConnection>(name);
}

// Each command shows its window modally; the modal result is of no interest here.

void TMainForm::Setup1Click() { DSKSTAFF->ShowModal(); }

void TMainForm::ImportContacts1Click() { ImportForm->ShowModal(); }

void TMainForm::PrintSetup1Click() { printerSetupDialog(QStringLiteral("PrinterSetupDialog1")).Execute(); }

void TMainForm::ExitClick() {
    // Ends the message loop directly: no window is asked anything and nothing is posted.
    QCoreApplication::exit(0);
}

void TMainForm::DestinationList1Click() { DestinationForm->ShowModal(); }

void TMainForm::DepartmentList1Click() { DeptForm->ShowModal(); }

void TMainForm::LocatorBoard1Click() { UpdateForm->ShowModal(); }

void TMainForm::EmployeeCheckIn1Click() { Form12->ShowModal(); }

void TMainForm::EmployeeCheckOut1Click() { CheckInForm->ShowModal(); }

// Each board report only runs its project.
void TMainForm::EmployeeView1Click() { project(QStringLiteral("RvProject2")).Execute(); }
void TMainForm::DepartmentView1Click() { project(QStringLiteral("RvProject3")).Execute(); }
void TMainForm::EmployeesIN1Click() { project(QStringLiteral("RvProject4")).Execute(); }
void TMainForm::EmployeesOut1Click() { project(QStringLiteral("RvProject5")).Execute(); }
void TMainForm::INOutHistory1Click() { project(QStringLiteral("RvProject1")).Execute(); }

void TMainForm::Media1Click() { MediaForm->ShowModal(); }

void TMainForm::MessageTypeListing1Click() { MsgTypeForm->ShowModal(); }

void TMainForm::AddMessage1Click() { AddMsgForm->ShowModal(); }

void TMainForm::ReadMessages1Click() { MsgForm->ShowModal(); }

void TMainForm::About1Click() { AboutForm->ShowModal(); }

void TMainForm::closeEvent(QCloseEvent* e) {
    e->ignore();
    ExitClick();
}
