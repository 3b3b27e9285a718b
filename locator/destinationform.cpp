#include "locator/destinationform.h"

TDestinationForm* DestinationForm = nullptr;

TDestinationForm::TDestinationForm(QWidget* parent)
    : controls::Form(QStringLiteral("DestinationForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    DestinationForm = this;
    try {
        load();
    } catch (...) {
        DestinationForm = nullptr;
        throw;
    }
}

TDestinationForm::~TDestinationForm() {
    if (DestinationForm == this) DestinationForm = nullptr;
}
