// The default window shower.
#include "controls/windowshower.h"
#include "controls/form.h"
#include <QApplication>
#include <QPointer>

namespace controls {

namespace {

class DefaultShower : public WindowShower {
public:
    ModalResult showModal(Form& form) override {
        // The window the user came from takes the keyboard again when this one closes, as on
        // the desktop; some window managers (or none) leave no window active otherwise.
        QPointer<QWidget> owner = QApplication::activeModalWidget();
        if (!owner) owner = QApplication::activeWindow();
        form.beginShowing();
        const ModalResult result = form.runModalLoop();
        if (owner && owner->isVisible()) owner->activateWindow();
        return result;
    }
};

std::shared_ptr<WindowShower>& currentShower() {
    static std::shared_ptr<WindowShower> s;
    return s;
}

} // namespace

WindowShower& windowShower() {
    auto& s = currentShower();
    if (!s) s = std::make_shared<DefaultShower>();
    return *s;
}

void setWindowShower(std::shared_ptr<WindowShower> shower) { currentShower() = std::move(shower); }

} // namespace controls
