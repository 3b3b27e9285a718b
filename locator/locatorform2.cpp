#include "locator/locatorform2.h"

TLocatorForm2* LocatorForm2 = nullptr;

TLocatorForm2::TLocatorForm2(QWidget* parent) : controls::Form(QStringLiteral("LocatorForm2"), parent) {
    // Reachable through its instance from the moment its creation begins.
    LocatorForm2 = this;
    try {
        load();
    } catch (...) {
        LocatorForm2 = nullptr;
        throw;
    }
}

TLocatorForm2::~TLocatorForm2() {
    if (LocatorForm2 == this) LocatorForm2 = nullptr;
}
