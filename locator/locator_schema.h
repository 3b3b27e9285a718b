#pragma once
// The staff locator's tables as the admin tool creates them.
#include "data/schemadef.h"

namespace locator {

data::TableDef staffLogTable();    // Staff_Log: the check-out and check-in history
data::TableDef destinationTable(); // Destination: the named destinations
data::TableDef deptTable();        // Dept: the department names

} // namespace locator
