#pragma once
// Driving the real widgets as a user does: windows shown and made active (so focus changes
// are real), clicks, keys and typing to whatever has the focus, picks from a look-up's list,
// presses of a navigator's buttons, and the tab order as Tab walks it.
#include "controls/db/dbnavigator.h"
#include <QString>
#include <QStringList>
#include <Qt>

class QComboBox;
class QWidget;

namespace controls {
class Form;
}

namespace testsupport {

// Makes a shown window the active one; true when it is.
bool activate(QWidget* window);
// Shows a window as the main menu does (through the window shower) and makes it active.
bool showActive(controls::Form& form);

// A mouse click, and what it posted.
void click(QWidget* w);
// A key to whatever has the focus, and what it posted (editors close and focus moves by
// posted calls).
void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier);
// One key per character, each to the widget that has the focus at that moment (a grid's cell
// editor opens on the first).
void type(const QString& text);
// Puts the focus into a box as Tab does (its text selected) and types.
void typeInto(QWidget* box, const QString& keys);

// Gives a look-up the focus as a click does, opens its list and clicks the row showing
// `text`; false when the list did not open or has no such row. The window is made active
// again afterwards, as closing the list leaves it.
bool pickFromList(QComboBox* combo, const QString& text);

// A click on a navigator's button, which must be shown and enabled (the focus stays put).
void press(controls::DBNavigator* nav, controls::DBNavigator::Button b);

// Walks the tab order from the first name of `order` and answers, for each Tab, the name of
// the control of `order` that holds the focus ("(none)" for any other), for comparing with
// `order`.
QStringList walkTabOrder(QWidget* window, const QStringList& order);

// The error box's text for a refused masked or converted value.
QString invalidInput();

} // namespace testsupport
