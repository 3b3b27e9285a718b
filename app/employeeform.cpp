#include "app/employeeform.h"

TEmployeeForm* EmployeeForm = nullptr;

TEmployeeForm::TEmployeeForm(QWidget* parent) : controls::Form(QStringLiteral("EmployeeForm"), parent) {
    EmployeeForm = this;
    try {
        load();
    } catch (...) {
        EmployeeForm = nullptr;
        throw;
    }
}

TEmployeeForm::~TEmployeeForm() {
    if (EmployeeForm == this) EmployeeForm = nullptr;
}
