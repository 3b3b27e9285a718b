#include "records/importform.h"

TImportForm* ImportForm = nullptr;

TImportForm::TImportForm(QWidget* parent) : controls::Form(QStringLiteral("ImportForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    ImportForm = this;
    try {
        load();
    } catch (...) {
        ImportForm = nullptr;
        throw;
    }
}

TImportForm::~TImportForm() {
    if (ImportForm == this) ImportForm = nullptr;
}
