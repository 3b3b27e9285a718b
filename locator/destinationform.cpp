#include "locator/destinationform.h"

#include "data/table.h"

TDestinationForm::TDestinationForm(QWidget* parent)
    : controls::Form(QStringLiteral("DestinationForm"), parent) {
    FORM_HANDLER(FormCreate);
    FORM_HANDLER(Button1Click);
    load();
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
