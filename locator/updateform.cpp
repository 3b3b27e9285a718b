#include "locator/updateform.h"
#include "data/table.h"
#include "locator/employeeoutform.h"
#include "locator/inofficeform.h"
#include "locator/locatorform.h"
#include "locator/locatorform2.h"
#include <QLineEdit>

TUpdateForm::TUpdateForm(QWidget* parent) : controls::Form(QStringLiteral("UpdateForm"), parent) {
    FORM_HANDLER(FormActivate);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button2Click);
    FORM_HANDLER(Button3Click);
    FORM_HANDLER(Button4Click);
    FORM_HANDLER(Button5Click);
    load();
}

void TUpdateForm::FormActivate() {
    // Blank boxes and a disabled navigator until the first search; the search text of the
    // last showing stays in the box.
    child<QLineEdit>(QStringLiteral("Edit1"))->setFocus();
    table(QStringLiteral("StaffTable")).SetActive(false);
}

void TUpdateForm::Button1Click() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    // Same name order as the layout's field list, through the unique name index; on the
    // closed table the index is only recorded and used by the open below.
    staff.SetIndexName(QStringLiteral("NAMEIndex"));
    staff.SetActive(true);
    staff.SetKey();
    // The first name equal to or after the text (cut to the 25 characters of Name), else the
    // last employee; a miss reports nothing, the name box shows where the search landed.
    staff.FindNearest({child<QLineEdit>(QStringLiteral("Edit1"))->text()});
    staff.Refresh();
}

// The boards work on tables of their own and are handed nothing; showing one leaves this
// screen as it was.
void TUpdateForm::Button2Click() { LocatorForm->ShowModal(); }

void TUpdateForm::Button3Click() { LocatorForm2->ShowModal(); }

void TUpdateForm::Button4Click() { InOfficeForm->ShowModal(); }

void TUpdateForm::Button5Click() { EmployeeOutForm->ShowModal(); }
