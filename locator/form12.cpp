#include "locator/form12.h"

TForm12* Form12 = nullptr;

TForm12::TForm12(QWidget* parent) : controls::Form(QStringLiteral("Form12"), parent) {
    // Reachable through its instance from the moment its creation begins.
    Form12 = this;
    try {
        load();
    } catch (...) {
        Form12 = nullptr;
        throw;
    }
}

TForm12::~TForm12() {
    if (Form12 == this) Form12 = nullptr;
}
