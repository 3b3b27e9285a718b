#include "locator/locatorform.h"

TLocatorForm* LocatorForm = nullptr;

TLocatorForm::TLocatorForm(QWidget* parent) : controls::Form(QStringLiteral("LocatorForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    LocatorForm = this;
    try {
        load();
    } catch (...) {
        LocatorForm = nullptr;
        throw;
    }
}

TLocatorForm::~TLocatorForm() {
    if (LocatorForm == this) LocatorForm = nullptr;
}
