#pragma once
// How a window is shown modally. The default shows the window, runs its activation handler
// once (the window already visible) and then runs the modal loop until the window closes.
// Tests install a shower that returns at once and drive the window with Qt Test.
#include "controls/dialogs.h"
#include <memory>

namespace controls {

class Form;

class WindowShower {
public:
    virtual ~WindowShower() = default;
    virtual ModalResult showModal(Form& form) = 0;
};

WindowShower& windowShower();
void setWindowShower(std::shared_ptr<WindowShower> shower); // nullptr: back to the default

} // namespace controls
