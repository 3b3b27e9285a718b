#include "locator/destinationform.h"

#include "data/table.h"

TDestinationForm* DestinationForm = nullptr;

TDestinationForm::TDestinationForm(QWidget* parent)
    : controls::Form(QStringLiteral("DestinationForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    DestinationForm = this;
    FORM_HANDLER(FormCreate);
    FORM_HANDLER(Button1Click);
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

void TDestinationForm::FormCreate() {
    // The layout has opened it already; this only makes sure.
    table(QStringLiteral("Table1")).Open();
}

void TDestinationForm::Button1Click() {
    // Only hides the window: a row being edited or inserted stays so until the next move
    // in this window stores it, so that "Done" in the middle of a check-out loses nothing.
    Close();
}
