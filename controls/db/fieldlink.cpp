#include "controls/db/fieldlink.h"

#include "controls/application.h"
#include "controls/formobjects.h"
#include "data/dataset.h"
#include "data/formatsettings.h"
#include <QKeyEvent>
#include <QKeySequence>
#include <QObject>
#include <QVariant>

namespace controls::dbctl {

QString stringProperty(const QObject* o, const char* name) {
    const QVariant v = o->property(name);
    if (!v.isValid()) return {};
    if (v.canConvert<QStringList>() && v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(',');
    return v.toString();
}

int intProperty(const QObject* o, const char* name, int fallback) {
    const QVariant v = o->property(name);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : fallback;
}

bool boolProperty(const QObject* o, const char* name, bool fallback) {
    const QVariant v = o->property(name);
    if (!v.isValid()) return fallback;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == "true" || s == "1" || s == "yes";
    }
    return v.toBool();
}

data::DataSource* sourceProperty(const QObject* o, const char* name, const FormObjects& objects) {
    const QString n = stringProperty(o, name).trimmed();
    return n.isEmpty() ? nullptr : objects.findDataSource(n);
}

bool isNumberField(const data::Field* f) {
    if (!f) return false;
    const auto t = f->dataType();
    return t == data::FieldType::Float || t == data::FieldType::Integer || t == data::FieldType::AutoInc;
}

bool acceptsNumberText(const QString& typed) {
    const QChar decimal = data::formatSettings().decimalSeparator;
    for (QChar c : typed) {
        if (c.category() == QChar::Other_Control) continue;
        if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' || c == decimal) continue;
        return false;
    }
    return true;
}

bool isEditingKey(const QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Undo) ||
        e->matches(QKeySequence::Redo) || e->matches(QKeySequence::DeleteStartOfWord) ||
        e->matches(QKeySequence::DeleteEndOfWord) || e->matches(QKeySequence::DeleteEndOfLine))
        return true;
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString t = e->text();
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (!c.isPrint()) return false;
    return true;
}

bool FieldBinding::active() const {
    const data::DataSet* ds = dataSet();
    return ds && ds->Active();
}

data::Field* FieldBinding::field() const {
    if (!active() || fieldName.isEmpty()) return nullptr;
    return dataSet()->FindField(fieldName);
}

bool FieldBinding::editing() const {
    const data::DataSet* ds = dataSet();
    if (!ds) return false;
    const auto s = ds->State();
    return s == data::DataSetState::Edit || s == data::DataSetState::Insert;
}

bool FieldBinding::canModify() const {
    const data::Field* f = field();
    return f && !readOnly && !f->ReadOnly() && f->dataType() != data::FieldType::AutoInc &&
           dataSet()->CanModify();
}

bool FieldBinding::canType() const {
    return canModify() && (editing() || (source() && source()->AutoEdit()));
}

bool FieldBinding::ensureEditing() {
    if (!canModify()) return false;
    if (editing()) return true;
    if (!source() || !source()->AutoEdit()) return false;
    data::DataSet* ds = dataSet();
    runGuarded([ds] { ds->Edit(); });
    return editing();
}

} // namespace controls::dbctl
