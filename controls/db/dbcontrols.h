#pragma once
// The data-aware controls: DBEdit, DBMemo, DBLookupCombo, DBLookupComboBox, DBGrid, DBNavigator.
namespace controls {
// Registers the data-aware widget classes with the layout loader (controls/widgetfactory.h).
// The program and the tests call it once before the first window is created.
void registerDataControls();
} // namespace controls
