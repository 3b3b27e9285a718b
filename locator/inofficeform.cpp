#include "locator/inofficeform.h"

TInOfficeForm::TInOfficeForm(QWidget* parent) : TLocatorBoard(InOffice, parent) { load(); }
