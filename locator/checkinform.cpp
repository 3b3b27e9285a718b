#include "locator/checkinform.h"
#include "controls/db/dbcontrols.h"
#include "data/formatsettings.h"
#include "data/table.h"
#include "locator/destinationform.h"
#include "locator/historyrow.h"
#include <QLineEdit>

using controls::MessageDlg;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

TCheckInForm::TCheckInForm(QWidget* parent) : controls::Form(QStringLiteral("CheckInForm"), parent) {
    FORM_HANDLER(FormCreate);
    FORM_HANDLER(FormActivate);
    FORM_HANDLER(StaffTableAfterOpen);
    FORM_HANDLER(StaffTableBeforeClose);
    FORM_HANDLER(EditDateLeftChange);
    FORM_HANDLER(Button344Click);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button2Click);
    FORM_HANDLER(Button3Click);
    FORM_HANDLER(DBLookupComboBox1Click);
    load();
}

void TCheckInForm::FormCreate() {
    table(QStringLiteral("StaffTable")).Open(); // the layout has opened it already
}

// Shows what other windows have stored since the last showing; a check-out left pending by
// "Main Menu" is stored here by the browse check, without a history row.
void TCheckInForm::FormActivate() { table(QStringLiteral("StaffTable")).Refresh(); }

void TCheckInForm::StaffTableAfterOpen() { table(QStringLiteral("StaffTable")).Refresh(); }

void TCheckInForm::StaffTableBeforeClose() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    if (staff.State() != data::DataSetState::Edit && staff.State() != data::DataSetState::Insert) return;
    if (MessageDlg(QStringLiteral("Post changes before closing?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes)
        staff.Post();
    else
        staff.Cancel();
}

void TCheckInForm::EditDateLeftChange() {}

void TCheckInForm::Button344Click() {
    if (MessageDlg(QStringLiteral("Are you sure you want to Check Out?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNo) != ModalResult::Yes)
        return;
    data::Table& staff = table(QStringLiteral("StaffTable"));
    staff.Open();
    staff.Edit(); // a row already being edited keeps its typed values
    const QString today = data::formatSettings().todayShortDate();
    field(QStringLiteral("StaffTableDate_Left")).SetAsString(today);
    field(QStringLiteral("StaffTableReturn_Date")).SetAsString(today);
    field(QStringLiteral("StaffTableStatus")).SetAsString(QStringLiteral("Out"));
    // Into the destination box with its text selected, so that typing replaces it.
    auto* destination = child<controls::DBLookupCombo>(QStringLiteral("DBLookupCombo1"));
    destination->setFocus();
    destination->lineEdit()->selectAll();
}

void TCheckInForm::Button1Click() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    data::Table& log = table(QStringLiteral("Table1"));
    if (MessageDlg(QStringLiteral("Save changes and return to Main Menu?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) != ModalResult::Yes) {
        staff.Cancel();
        log.Cancel();
        return;
    }
    // The employee's row and its history row are stored together or not at all.
    locator::postWithHistoryRow(*this, staff, log, QStringLiteral("Table1"),
                                {
                                    {"StaffTableName", "Table1Name"},
                                    {"StaffTableDepartment", "Table1Department"},
                                    {"StaffTableDestination", "Table1Destination"},
                                    {"StaffTableDate_Left", "Table1DateLeft"},
                                    {"StaffTableTime_Left", "Table1Time_Left"},
                                    {"StaffTableReturn_Date", "Table1Return_Date"},
                                    {"StaffTableReturn_Time", "Table1Return_Time"},
                                    {"StaffTableContact_Phone", "Table1Contact_Phone"},
                                    {"StaffTableStatus", "Table1Status"},
                                });
    log.Cancel();
    Close();
}

void TCheckInForm::Button2Click() {
    if (MessageDlg(QStringLiteral("Return to Main Menu?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes)
        Close();
}

void TCheckInForm::Button3Click() { DestinationForm->ShowModal(); }

void TCheckInForm::DBLookupComboBox1Click() {
    const QString name = child<controls::DBLookupComboBox>(QStringLiteral("DBLookupComboBox1"))->text();
    if (!table(QStringLiteral("StaffTable")).Locate(QStringLiteral("Name"), name))
        MessageDlg(QStringLiteral("Employee not found"), MsgDlgType::Error, MsgButtons::OK);
}
