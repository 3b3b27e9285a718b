#pragma once
// The data-aware controls: DBEdit, DBMemo, DBLookupCombo, DBLookupComboBox, DBGrid, DBNavigator.
#include "controls/db/dbedit.h"
#include "controls/db/dbgrid.h"
#include "controls/db/dblookup.h"
#include "controls/db/dbmemo.h"
#include "controls/db/dbnavigator.h"

namespace controls {
// Registers the data-aware widget classes with the layout loader (controls/widgetfactory.h).
// The program and the tests call it once before the first window is created.
void registerDataControls();
} // namespace controls
