#pragma once
// The Staff table as the admin tool creates it.
#include "data/schemadef.h"

namespace records {

// The 25 fields of the employee register and its six indexes ("NAMEIndex" among them).
data::TableDef staffTable();

} // namespace records
