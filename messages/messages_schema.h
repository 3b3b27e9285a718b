#pragma once
// The telephone message pad's tables as the admin tool creates them.
#include "data/schemadef.h"

namespace messages {

data::TableDef messTable();    // Mess: one row per message taken
data::TableDef mediaTable();   // Media: how a call came in
data::TableDef msgtypeTable(); // Msgtype: what the caller asks for

} // namespace messages
