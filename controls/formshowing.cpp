// Showing a window modally, closing it, and the keys its buttons take.
#include "controls/form.h"
#include "controls/application.h"
#include "controls/windowshower.h"
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace controls {

namespace {

bool isDynamicallyTrue(const QObject* o, const char* name) { return o->property(name).toBool(); }

} // namespace

void Form::prepareButtons() {
    // Enter presses only a button the layout marks as default (or the focused button), so no
    // push button becomes default by taking the focus.
    const auto buttons = findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        b->setAutoDefault(false);
}

ModalResult Form::ShowModal() { return windowShower().showModal(*this); }

void Form::beginShowing() {
    if (isVisible()) throw data::Exception(QStringLiteral("Cannot make a visible window modal"));
    modalResult_ = ModalResult::None;
    prepareButtons();
    const bool first = !placed_;
    placed_ = true;
    auto centre = [this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!s) return;
        const QRect avail = s->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(avail.x() + (avail.width() - outer.width()) / 2,
             avail.y() + (avail.height() - outer.height()) / 2);
    };
    if (first && centred_) centre();
    show();
    if (first && !clientSize_ && windowHandle()) {
        // The stored size is the outer one: take off the frame once the platform knows it.
        const QMargins m = windowHandle()->frameMargins();
        if (!m.isNull()) {
            const QSize inner = storedGeometry_.size().shrunkBy(m);
            if (property("borderStyle").toString() == QLatin1String("dialog")) setFixedSize(inner);
            resize(inner);
        }
    }
    if (first && centred_) centre(); // again, now with the frame

    // Platforms without a window manager (offscreen, minimal) cannot raise and only warn.
    static const bool canRaise = !QGuiApplication::platformName().startsWith(QLatin1String("offscreen")) &&
                                 !QGuiApplication::platformName().startsWith(QLatin1String("minimal"));
    if (canRaise) raise();
    activateWindow();
    ++timesShown_;
    const QString activate = property("onActivate").toString();
    if (!activate.isEmpty()) runGuarded(handler(activate));
}

ModalResult Form::runModalLoop() {
    if (isVisible()) exec();
    return modalResult_;
}

void Form::Close() {
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
    hide();
}

void Form::setModalResult(ModalResult r) {
    modalResult_ = r;
    if (r != ModalResult::None) hide();
}

void Form::reject() { Close(); }

void Form::keyPressEvent(QKeyEvent* e) {
    const auto mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return: {
            // The focused button takes Enter; otherwise the layout's default button, if any.
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
                focused && focused->isVisible() && focused->isEnabled()) {
                focused->click();
                return;
            }
            const auto buttons = findChildren<QPushButton*>();
            for (QPushButton* b : buttons)
                if (b->isDefault() && b->isVisible()) {
                    if (b->isEnabled()) b->click();
                    return;
                }
            e->accept();
            return;
        }
        case Qt::Key_Escape: {
            // Esc presses the layout's cancel button; without one it does not close the window.
            const auto buttons = findChildren<QPushButton*>();
            for (QPushButton* b : buttons)
                if (isDynamicallyTrue(b, "cancel") && b->isVisible()) {
                    if (b->isEnabled()) b->click();
                    return;
                }
            e->accept();
            return;
        }
        default:
            break;
        }
    }
    QWidget::keyPressEvent(e);
}

} // namespace controls
