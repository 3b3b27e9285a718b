#include "tests/support/testinput.h"

#include "controls/form.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

namespace testsupport {

bool activate(QWidget* window) {
    QApplication::setActiveWindow(window);
    window->activateWindow();
    QCoreApplication::processEvents();
    return window->isActiveWindow();
}

bool showActive(controls::Form& form) {
    form.ShowModal();
    return activate(&form) && form.isVisible();
}

void click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void key(Qt::Key k, Qt::KeyboardModifiers mods) {
    QWidget* w = QApplication::focusWidget();
    QVERIFY2(w, "no widget has the focus");
    QTest::keyClick(w, k, mods);
    QCoreApplication::processEvents();
}

void type(const QString& text) {
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        QVERIFY2(w, "no widget has the focus");
        QTest::keyClicks(w, QString(c));
    }
}

void typeInto(QWidget* box, const QString& keys) {
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(QApplication::focusWidget(), keys);
}

bool pickFromList(QComboBox* combo, const QString& text) {
    QWidget* window = combo->window();
    combo->setFocus(Qt::MouseFocusReason);
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    bool picked = false;
    if (view->isVisible()) {
        for (int row = 0; row < view->model()->rowCount() && !picked; ++row) {
            const QModelIndex index = view->model()->index(row, 0);
            if (index.data().toString() != text) continue;
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            QCoreApplication::processEvents();
            picked = true;
        }
        if (!picked) combo->hidePopup();
    }
    activate(window);
    return picked;
}

void press(controls::DBNavigator* nav, controls::DBNavigator::Button b) {
    QToolButton* button = nav->button(b);
    QVERIFY2(button->isVisible() && button->isEnabled(),
             qPrintable(controls::DBNavigator::buttonName(b) + " is not available"));
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList walkTabOrder(QWidget* window, const QStringList& order) {
    auto owner = [&](QWidget* w) -> QString {
        for (; w && w != window; w = w->parentWidget())
            if (order.contains(w->objectName())) return w->objectName();
        return QStringLiteral("(none)");
    };
    QWidget* first = window->findChild<QWidget*>(order.value(0));
    if (!first) return {QStringLiteral("(no %1)").arg(order.value(0))};
    first->setFocus(Qt::TabFocusReason);
    QStringList walked = {owner(QApplication::focusWidget())};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << owner(QApplication::focusWidget());
    }
    return walked;
}

QString invalidInput() { return QStringLiteral("Invalid input value.  Use escape key to abandon changes."); }

} // namespace testsupport
