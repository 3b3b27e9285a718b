#include "locator/deptform.h"

TDeptForm* DeptForm = nullptr;

TDeptForm::TDeptForm(QWidget* parent) : controls::Form(QStringLiteral("DeptForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    DeptForm = this;
    try {
        load();
    } catch (...) {
        DeptForm = nullptr;
        throw;
    }
}

TDeptForm::~TDeptForm() {
    if (DeptForm == this) DeptForm = nullptr;
}
