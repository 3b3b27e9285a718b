#include "locator/inofficeform.h"

TInOfficeForm* InOfficeForm = nullptr;

TInOfficeForm::TInOfficeForm(QWidget* parent) : controls::Form(QStringLiteral("InOfficeForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    InOfficeForm = this;
    try {
        load();
    } catch (...) {
        InOfficeForm = nullptr;
        throw;
    }
}

TInOfficeForm::~TInOfficeForm() {
    if (InOfficeForm == this) InOfficeForm = nullptr;
}
