#include "records/passwordform.h"
#include "data/table.h"

TPasswordForm* PasswordForm = nullptr;

TPasswordForm::TPasswordForm(QWidget* parent) : controls::Form(QStringLiteral("PasswordForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    PasswordForm = this;
    FORM_HANDLER(FormCreate);
    try {
        load();
    } catch (...) {
        PasswordForm = nullptr;
        throw;
    }
}

TPasswordForm::~TPasswordForm() {
    if (PasswordForm == this) PasswordForm = nullptr;
}

// The window's own table is never used: the box shows the profile window's row.
void TPasswordForm::FormCreate() {
    data::Table& staff = table(QStringLiteral("StaffTable"));
    staff.Open();
    staff.SetActive(false);
}
