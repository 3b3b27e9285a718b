#include "locator/form12.h"
#include "controls/db/dbcontrols.h"
#include "data/database.h"
#include "data/formatsettings.h"
#include "data/table.h"
#include "locator/destinationform.h"

using controls::MessageDlg;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

TForm12* Form12 = nullptr;

TForm12::TForm12(QWidget* parent) : controls::Form(QStringLiteral("Form12"), parent) {
    // Reachable through its instance from the moment its creation begins.
    Form12 = this;
    FORM_HANDLER(BitBttn4Click);
    FORM_HANDLER(Button5Click);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button3Click);
    try {
        load();
    } catch (...) {
        Form12 = nullptr;
        throw;
    }
}

TForm12::~TForm12() {
    if (Form12 == this) Form12 = nullptr;
}

void TForm12::BitBttn4Click() {
    if (MessageDlg(QStringLiteral("Are you sure you want to Check In?"), MsgDlgType::Confirmation, MsgButtons::YesNo) !=
        ModalResult::Yes)
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
        // The employee's row and its history row are stored together or not at all: a
        // failure of either rolls both back, the employee's row stays in edit with its
        // values, the history row is dropped and the window stays open.
        try {
            data::Transaction transaction(data::Database::forAlias(staff.DatabaseName()));
            staff.Post();
            staff.Refresh();
            log.Edit();
            log.Insert();
            const data::FormatSettings& formats = data::formatSettings();
            auto* dateBox = child<controls::DBEdit>(QStringLiteral("DBEdit2"));
            dateBox->setText(formats.todayShortDate());
            field(QStringLiteral("Table5Transaction_Date")).SetAsString(dateBox->text());
            // Both scratch boxes show Transaction_Time: assigning it reloads both, so
            // neither writes a text of its own when the row is posted.
            auto* timeBox = child<controls::DBEdit>(QStringLiteral("DBEdit3"));
            timeBox->setText(formats.nowLongTime());
            field(QStringLiteral("Table5Transaction_Time")).SetAsString(timeBox->text());
            for (const char* name : {"Name", "Department", "Destination", "Status", "Contact_Phone"})
                field(QStringLiteral("Table5") + QLatin1String(name))
                    .SetAsString(field(QStringLiteral("StaffTable") + QLatin1String(name)).AsString());
            log.Post();
            transaction.Commit();
        } catch (...) {
            log.Cancel();
            throw;
        }
        log.Refresh();
    } else {
        staff.Cancel();
    }
    log.Cancel();
    Close();
}

void TForm12::Button1Click() {
    DestinationForm->ShowModal();
}

void TForm12::Button3Click() {
    // A pending edit stays pending while the window is hidden.
    if (MessageDlg(QStringLiteral("Return to Main Menu?"), MsgDlgType::Confirmation, MsgButtons::YesNoCancel) ==
        ModalResult::Yes)
        Close();
}
