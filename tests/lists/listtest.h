#pragma once
// What the list window tests share: keys and typing to whatever has the focus, presses of
// the navigator's buttons, and a shown window made the active one so focus changes are real.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include <QApplication>
#include <QTest>
#include <QToolButton>

namespace liststest {

// Shows a window through the (non-blocking) window shower and makes it the active window.
inline bool showActive(controls::Form& form) {
    form.ShowModal();
    QApplication::setActiveWindow(&form);
    form.activateWindow();
    QCoreApplication::processEvents();
    return form.isVisible() && form.isActiveWindow();
}

inline void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w);
    QTest::keyClick(w, k, mods);
    if (k == Qt::Key_Return || k == Qt::Key_Tab)
        QCoreApplication::processEvents(); // editors close and focus moves by posted calls
}

// One key per character, each to the widget that has the focus at that moment.
inline void type(const QString& text) {
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        QVERIFY(w);
        QTest::keyClicks(w, QString(c));
    }
}

// A mouse click on a navigator button, as the user presses it (the focus stays put).
inline void press(controls::DBNavigator* nav, controls::DBNavigator::Button b) {
    QToolButton* button = nav->button(b);
    QVERIFY2(button->isVisible() && button->isEnabled(),
             qPrintable(controls::DBNavigator::buttonName(b) + " is not available"));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace liststest
