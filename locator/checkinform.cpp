#include "locator/checkinform.h"

TCheckInForm* CheckInForm = nullptr;

TCheckInForm::TCheckInForm(QWidget* parent) : controls::Form(QStringLiteral("CheckInForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    CheckInForm = this;
    try {
        load();
    } catch (...) {
        CheckInForm = nullptr;
        throw;
    }
}

TCheckInForm::~TCheckInForm() {
    if (CheckInForm == this) CheckInForm = nullptr;
}
