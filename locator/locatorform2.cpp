#include "locator/locatorform2.h"

TLocatorForm2::TLocatorForm2(QWidget* parent) : TLocatorBoard(Department, parent) { load(); }
