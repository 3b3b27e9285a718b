#include "locator/inofficeform.h"

TInOfficeForm* InOfficeForm = nullptr;

TInOfficeForm::TInOfficeForm(QWidget* parent) : TLocatorBoard(InOffice, parent) {
    loadAs(InOfficeForm, this);
}

TInOfficeForm::~TInOfficeForm() {
    if (InOfficeForm == this) InOfficeForm = nullptr;
}
