#include "controls/db/fieldlink.h"

#include "controls/application.h"
#include "controls/formobjects.h"
#include "data/dataset.h"
#include "data/formatsettings.h"
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
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

void keepWholeCharacters(QLineEdit* line) {
    QObject::connect(line, &QLineEdit::textEdited, line, [line] {
        const QString t = line->text();
        if (!line->inputMask().isEmpty() || t.size() < line->maxLength()) return;
        // the limit cut the insertion right after its last whole character
        const int at = line->cursorPosition() - 1;
        if (at < 0 || at >= t.size() || !t.at(at).isHighSurrogate()) return;
        if (at + 1 < t.size() && t.at(at + 1).isLowSurrogate()) return;
        line->setText(t.left(at) + t.mid(at + 1));
        line->setCursorPosition(at);
    });
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

bool leavesControl(const QFocusEvent* e) {
    return e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason;
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

bool FieldBinding::ensureEditingKeepingCursor(QLineEdit* line) {
    if (editing()) return true;
    const QString before = line->displayText();
    const int cursor = line->cursorPosition();
    const int selStart = line->selectionStart();
    const int selLength = int(line->selectedText().size());
    if (!ensureEditing()) return false;
    if (line->displayText() == before) {
        if (selStart >= 0)
            line->setSelection(selStart, selLength);
        else
            line->setCursorPosition(cursor);
    }
    return true;
}

bool FieldBinding::refusesInput(const QInputMethodEvent* e) {
    return !e->commitString().isEmpty() && !ensureEditing();
}

bool FieldBinding::concerns(const data::Field* changed) const {
    return !changed || changed == field() || !active();
}

// --- TextFieldLink ---

void TextFieldLink::SetReadOnly(bool on) {
    binding_.readOnly = on;
    updateTypingState();
}

void TextFieldLink::UpdateRecord() {
    if (!modified_ || !hasBinding()) return;
    data::Field* f = field();
    if (!f) {
        modified_ = false;
        return;
    }
    if (!binding_.editing()) return; // text put in by code while the row is only browsed: nowhere to write it
    storePending(*f);                // reloads the control through recordChanged()
    modified_ = false;
}

void TextFieldLink::activeChanged() { reload(); }

void TextFieldLink::stateChanged() {
    // Leaving edit or insert (post, cancel, close) ends whatever the control still held.
    if (!binding_.editing() && modified_)
        reload();
    else
        updateTypingState();
}

void TextFieldLink::recordChanged(data::Field* changed) {
    if (binding_.concerns(changed)) reload();
}

void TextFieldLink::dataSetScrolled() { reload(); }

void TextFieldLink::dataSetChanged() { reload(); }

void TextFieldLink::updateData() {
    if (modified_) writePending();
}

void TextFieldLink::focusControl(data::Field* f) {
    if (f && f == field()) refocusAfterRefusal();
}

void TextFieldLink::bindTo(data::DataSource* source, const QString& fieldName) {
    binding_.fieldName = fieldName;
    if (source == dataSource())
        reload();
    else
        setDataSource(source); // reloads through activeChanged()
}

void TextFieldLink::bindStored(const QObject* control, const FormObjects& objects, bool readOnlyDefault) {
    binding_.readOnly = boolProperty(control, "readOnly", readOnlyDefault);
    bindTo(sourceProperty(control, "dataSource", objects), stringProperty(control, "dataField"));
}

void TextFieldLink::writePending() {
    try {
        UpdateRecord();
    } catch (...) {
        refocusAfterRefusal();
        throw;
    }
}

void TextFieldLink::focusLost(const QFocusEvent* e) {
    if (!leavesControl(e) || !modified_) return;
    runGuarded([this] { writePending(); });
}

} // namespace controls::dbctl
