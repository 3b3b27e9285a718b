#include "locator/form12.h"
#include "controls/db/dbcontrols.h"
#include "data/table.h"
#include "locator/destinationform.h"
#include "locator/historyrow.h"

using controls::MessageDlg;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

TForm12::TForm12(QWidget* parent) : controls::Form(QStringLiteral("Form12"), parent) {
    FORM_HANDLER(BitBttn4Click);
    FORM_HANDLER(Button5Click);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button3Click);
    load();
}

void TForm12::BitBttn4Click() {
    if (MessageDlg(QStringLiteral("Are you sure you want to Check In?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNo) != ModalResult::Yes)
        return;
    data::Table& staff = table(QStringLiteral("StaffTable"));
    staff.Open();
    staff.SetActive(true);
    staff.Edit(); // an edit already pending keeps its typed values
    // The look-up writes its text into Destination when the row is next posted.
    child<controls::DBLookupCombo>(QStringLiteral("DBLookupCombo1"))->setText(QStringLiteral("IN Office"));
    for (const char* name : {"StaffTableDate_Left", "StaffTableTime_Left", "StaffTableReturn_Date",
                             "StaffTableReturn_Time", "StaffTableContact_Phone"})
        field(QLatin1String(name)).Clear();
    field(QStringLiteral("StaffTableStatus")).SetAsString(QStringLiteral("IN"));
}

void TForm12::Button5Click() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    data::Table& log = table(QStringLiteral("Table5"));
    if (MessageDlg(QStringLiteral("Save changes and return to Main Menu?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes) {
        // The employee's row and its history row are stored together or not at all; on a
        // failure the window stays open.
        locator::postWithHistoryRow(*this, staff, log, QStringLiteral("Table5"),
                                    {
                                        {"StaffTableName", "Table5Name"},
                                        {"StaffTableDepartment", "Table5Department"},
                                        {"StaffTableDestination", "Table5Destination"},
                                        {"StaffTableStatus", "Table5Status"},
                                        {"StaffTableContact_Phone", "Table5Contact_Phone"},
                                    });
    } else {
        staff.Cancel();
    }
    log.Cancel();
    Close();
}

void TForm12::Button1Click() { DestinationForm->ShowModal(); }

void TForm12::Button3Click() {
    // A pending edit stays pending while the window is hidden.
    if (MessageDlg(QStringLiteral("Return to Main Menu?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes)
        Close();
}
