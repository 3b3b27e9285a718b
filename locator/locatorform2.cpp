#include "locator/locatorform2.h"

TLocatorForm2* LocatorForm2 = nullptr;

TLocatorForm2::TLocatorForm2(QWidget* parent) : TLocatorBoard(Department, parent) {
    loadAs(LocatorForm2, this);
}

TLocatorForm2::~TLocatorForm2() {
    if (LocatorForm2 == this) LocatorForm2 = nullptr;
}
