#include "records/passwordform.h"

TPasswordForm* PasswordForm = nullptr;

TPasswordForm::TPasswordForm(QWidget* parent) : controls::Form(QStringLiteral("PasswordForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    PasswordForm = this;
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
