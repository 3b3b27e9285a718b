#include "app/employeeform.h"

TEmployeeForm::TEmployeeForm(QWidget* parent) : controls::Form(QStringLiteral("EmployeeForm"), parent) {
    load();
}
