#include "locator/locatorform.h"

TLocatorForm* LocatorForm = nullptr;

TLocatorForm::TLocatorForm(QWidget* parent) : TLocatorBoard(Alphabetical, parent) {
    loadAs(LocatorForm, this);
}

TLocatorForm::~TLocatorForm() {
    if (LocatorForm == this) LocatorForm = nullptr;
}
