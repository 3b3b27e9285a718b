#include "records/dskstaff.h"
#include "controls/db/dbcontrols.h"
#include "data/table.h"
#include "records/passwordform.h"
#include <QLineEdit>

using controls::MessageDlg;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {

bool confirmed(const QString& question) {
    return MessageDlg(question, MsgDlgType::Confirmation, MsgButtons::YesNo) == ModalResult::Yes;
}

} // namespace

TDSKSTAFF::TDSKSTAFF(QWidget* parent) : controls::Form(QStringLiteral("DSKSTAFF"), parent) {
    FORM_HANDLER(FormCreate);
    FORM_HANDLER(FormActivate);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button2Click);
    FORM_HANDLER(Button3Click);
    FORM_HANDLER(Button4Click);
    FORM_HANDLER(Button5Click);
    FORM_HANDLER(Button6Click);
    FORM_HANDLER(Button7Click);
    load();
}

const QStringList& TDSKSTAFF::profileBoxes() {
    static const QStringList boxes = {
        QStringLiteral("EditEmployee_No"), QStringLiteral("EditName"),
        QStringLiteral("DBLookupCombo1"),  QStringLiteral("EditAddress"),
        QStringLiteral("EditCity"),        QStringLiteral("EditState"),
        QStringLiteral("EditZipCode"),     QStringLiteral("EditSocial_Security"),
        QStringLiteral("EditDOB"),         QStringLiteral("EditPhone"),
        QStringLiteral("EditAlternate"),   QStringLiteral("EditFax"),
        QStringLiteral("EditEMail"),       QStringLiteral("DBMemo1"),
    };
    return boxes;
}

void TDSKSTAFF::setProfileReadOnly(bool on) {
    for (const QString& name : profileBoxes()) {
        auto* box = dynamic_cast<controls::dbctl::TextFieldLink*>(child<QWidget>(name));
        if (!box)
            throw controls::LayoutError(QStringLiteral("DSKSTAFF: %1 is not a data-aware box").arg(name));
        box->SetReadOnly(on);
    }
}

void TDSKSTAFF::FormCreate() {
    table(QStringLiteral("Table1")).Open(); // the layout has opened it already
}

// Every showing starts from nothing: an edit or new row left pending by "Main Menu" is
// dropped with the closing.
void TDSKSTAFF::FormActivate() {
    table(QStringLiteral("Table1")).SetActive(false);
    child<QLineEdit>(QStringLiteral("Edit1"))->setFocus();
    setProfileReadOnly(true);
}

void TDSKSTAFF::Button1Click() {
    data::Table& staff = table(QStringLiteral("Table1"));
    staff.SetIndexName(QStringLiteral("NAMEIndex"));
    staff.SetActive(true);
    staff.SetKey();
    // The first name equal to or after the text (cut to the width of Name), else the last
    // employee; a miss reports nothing.
    staff.FindNearest({child<QLineEdit>(QStringLiteral("Edit1"))->text()});
}

void TDSKSTAFF::Button2Click() {
    if (!confirmed(QStringLiteral("Add new employee profile record?"))) return;
    data::Table& staff = table(QStringLiteral("Table1"));
    staff.SetActive(true);
    staff.Open();
    // A changed row being edited is stored first by the insert's browse check.
    staff.Edit();
    staff.Insert();
    // From here on every post of the table needs these three values.
    field(QStringLiteral("Table1Emp_Num")).SetRequired(true);
    field(QStringLiteral("Table1Name")).SetRequired(true);
    field(QStringLiteral("Table1Department")).SetRequired(true);
    setProfileReadOnly(false);
    // A new employee starts checked in.
    field(QStringLiteral("Table1Status")).SetAsString(QStringLiteral("IN"));
    field(QStringLiteral("Table1Destination")).SetAsString(QStringLiteral("IN Office"));
    child<QWidget>(QStringLiteral("EditEmployee_No"))->setFocus();
}

void TDSKSTAFF::Button3Click() {
    // The password window edits this window's row from now on.
    PasswordForm->dataSource(QStringLiteral("DataSource1")).setDataSet(&table(QStringLiteral("Table1")));
    PasswordForm->ShowModal();
}

void TDSKSTAFF::Button4Click() {
    data::Table& staff = table(QStringLiteral("Table1"));
    if (staff.State() != data::DataSetState::Edit && staff.State() != data::DataSetState::Insert) return;
    if (MessageDlg(QStringLiteral("Save changes before closing?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes)
        staff.Post();
    else
        staff.Cancel();
}

void TDSKSTAFF::Button5Click() {
    if (!confirmed(QStringLiteral("Edit this record?"))) return;
    table(QStringLiteral("Table1")).Edit();
    setProfileReadOnly(false);
}

void TDSKSTAFF::Button6Click() {
    if (!confirmed(QStringLiteral("Delete this record?"))) return;
    // Only the Staff row: the employee's history rows and messages stay.
    table(QStringLiteral("Table1")).Delete();
}

void TDSKSTAFF::Button7Click() {
    if (!confirmed(QStringLiteral("Cancel this record?"))) return;
    table(QStringLiteral("Table1")).Cancel();
}
