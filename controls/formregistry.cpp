// The window registry: every window by its layout name, from the start of its creation to its
// destruction. A window whose creation fails is destroyed by the failure and so leaves it again.
#include "controls/form.h"
#include <QHash>
#include <QList>

namespace controls {

namespace {
// Several windows may be made under one name (tests make one window after another); the
// latest that still exists is the one found.
QHash<QString, QList<Form*>>& registry() {
    static QHash<QString, QList<Form*>> r;
    return r;
}
} // namespace

MissingWindowError::MissingWindowError(const QString& windowName)
    : LayoutError(QStringLiteral("The window %1 does not exist").arg(windowName)) {}

void Form::registerWindow() { registry()[layoutName_].append(this); }

void Form::unregisterWindow() {
    auto it = registry().find(layoutName_);
    if (it == registry().end()) return;
    it->removeAll(this);
    if (it->isEmpty()) registry().erase(it);
}

Form* Form::find(const QString& name) {
    auto it = registry().constFind(name);
    return it == registry().constEnd() ? nullptr : it->last();
}

Form& Form::instance(const QString& name) {
    Form* f = find(name);
    if (!f) throw MissingWindowError(name);
    return *f;
}

} // namespace controls
