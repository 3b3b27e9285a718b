// Handlers by name: bound by the window class, resolved by the stored layout, and connected
// to the signals of the controls that name them.
#include "controls/form.h"
#include "controls/application.h"
#include "controls/plaincontrols.h"
#include <QMetaMethod>

namespace controls {

namespace {

// Receives a widget's signal (of any signature) and runs a handler, guarded.
class HandlerSlot : public QObject {
    Q_OBJECT
public:
    HandlerSlot(Form::Handler h, QObject* parent) : QObject(parent), handler_(std::move(h)) {}
public slots:
    void fire() { runGuarded(handler_); }

private:
    Form::Handler handler_;
};

QMetaMethod findSignal(const QObject* o, std::initializer_list<const char*> signatures) {
    const QMetaObject* mo = o->metaObject();
    for (const char* sig : signatures) {
        const int i = mo->indexOfSignal(sig);
        if (i >= 0) return mo->method(i);
    }
    return {};
}

} // namespace

void Form::bind(const QString& handlerName, Handler handler) {
    handlers_.insert(handlerName, std::move(handler));
}

Form::Handler Form::handler(const QString& handlerName) const {
    auto it = handlers_.constFind(handlerName);
    if (it == handlers_.constEnd()) fault(QStringLiteral("handler '%1' is not defined").arg(handlerName));
    return *it;
}

Form::Handler Form::resolve(const QString& handlerName, const QString& where) const {
    auto it = handlers_.constFind(handlerName);
    if (it == handlers_.constEnd())
        fault(QStringLiteral("handler '%1' of %2 is not defined").arg(handlerName, where));
    return *it;
}

void Form::bindWidgetHandlers() {
    const auto widgets = content_->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        auto* bitBtn = qobject_cast<BitBtn*>(w);
        if (bitBtn && bitBtn->isCloseKind()) {
            // A close button closes its window and runs no handler of the window.
            if (bitBtn->text().isEmpty()) bitBtn->setText(QStringLiteral("&Close"));
            connect(bitBtn, &QAbstractButton::clicked, this, &Form::Close);
        } else if (const QString name = w->property("onClick").toString(); !name.isEmpty()) {
            Handler h = resolve(name, w->objectName() + QStringLiteral(".onClick"));
            const QMetaMethod signal = findSignal(w, {"clicked()", "clicked(bool)"});
            if (!signal.isValid())
                fault(QStringLiteral("%1 has no clicked signal for onClick").arg(w->objectName()));
            auto* slot = new HandlerSlot(h, this);
            connect(w, signal, slot, slot->metaObject()->method(slot->metaObject()->indexOfSlot("fire()")));
        }
        if (const QString name = w->property("onChange").toString(); !name.isEmpty()) {
            Handler h = resolve(name, w->objectName() + QStringLiteral(".onChange"));
            const QMetaMethod signal =
                findSignal(w, {"changed()", "textChanged(QString)", "textChanged()",
                               "currentTextChanged(QString)", "dateChanged(QDate)", "selectionChanged()"});
            if (!signal.isValid())
                fault(QStringLiteral("%1 has no change signal for onChange").arg(w->objectName()));
            auto* slot = new HandlerSlot(h, this);
            connect(w, signal, slot, slot->metaObject()->method(slot->metaObject()->indexOfSlot("fire()")));
        }
    }
}

void Form::unbindHandlers() {
    const auto bindings = findChildren<HandlerSlot*>(Qt::FindDirectChildrenOnly);
    for (HandlerSlot* s : bindings)
        delete s;
    handlers_.clear();
}

} // namespace controls

#include "formbinding.moc"
