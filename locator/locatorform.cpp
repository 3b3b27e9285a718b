#include "locator/locatorform.h"

TLocatorForm::TLocatorForm(QWidget* parent) : TLocatorBoard(Alphabetical, parent) { load(); }
