#include "locator/deptform.h"

#include "data/table.h"

TDeptForm::TDeptForm(QWidget* parent) : controls::Form(QStringLiteral("DeptForm"), parent) {
    FORM_HANDLER(FormCreate);
    load();
}

void TDeptForm::FormCreate() {
    // The layout has opened it already; this only makes sure.
    table(QStringLiteral("Table1")).Open();
}
