#include "locator/deptform.h"

#include "data/table.h"

TDeptForm* DeptForm = nullptr;

TDeptForm::TDeptForm(QWidget* parent) : controls::Form(QStringLiteral("DeptForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    DeptForm = this;
    FORM_HANDLER(FormCreate);
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

void TDeptForm::FormCreate() {
    // The layout has opened it already; this only makes sure.
    table(QStringLiteral("Table1")).Open();
}
