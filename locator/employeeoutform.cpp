#include "locator/employeeoutform.h"

TEmployeeOutForm* EmployeeOutForm = nullptr;

TEmployeeOutForm::TEmployeeOutForm(QWidget* parent) : TLocatorBoard(OutOfOffice, parent) {
    loadAs(EmployeeOutForm, this);
}

TEmployeeOutForm::~TEmployeeOutForm() {
    if (EmployeeOutForm == this) EmployeeOutForm = nullptr;
}
