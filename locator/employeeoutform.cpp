#include "locator/employeeoutform.h"

TEmployeeOutForm::TEmployeeOutForm(QWidget* parent) : TLocatorBoard(OutOfOffice, parent) { load(); }
