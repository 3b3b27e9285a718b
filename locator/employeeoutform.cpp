#include "locator/employeeoutform.h"

TEmployeeOutForm* EmployeeOutForm = nullptr;

TEmployeeOutForm::TEmployeeOutForm(QWidget* parent)
    : controls::Form(QStringLiteral("EmployeeOutForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    EmployeeOutForm = this;
    try {
        load();
    } catch (...) {
        EmployeeOutForm = nullptr;
        throw;
    }
}

TEmployeeOutForm::~TEmployeeOutForm() {
    if (EmployeeOutForm == this) EmployeeOutForm = nullptr;
}
