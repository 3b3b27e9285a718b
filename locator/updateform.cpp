#include "locator/updateform.h"

TUpdateForm* UpdateForm = nullptr;

TUpdateForm::TUpdateForm(QWidget* parent) : controls::Form(QStringLiteral("UpdateForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    UpdateForm = this;
    try {
        load();
    } catch (...) {
        UpdateForm = nullptr;
        throw;
    }
}

TUpdateForm::~TUpdateForm() {
    if (UpdateForm == this) UpdateForm = nullptr;
}
