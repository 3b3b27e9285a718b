#include "records/passwordform.h"
#include "data/table.h"

TPasswordForm::TPasswordForm(QWidget* parent) : controls::Form(QStringLiteral("PasswordForm"), parent) {
    FORM_HANDLER(FormCreate);
    load();
}

// The window's own table is never used: the box shows the profile window's row.
void TPasswordForm::FormCreate() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    staff.Open();
    staff.SetActive(false);
}
