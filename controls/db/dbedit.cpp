#include "controls/db/dbedit.h"

#include "controls/application.h"
#include "data/dataset.h"
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace controls {

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &DBEdit::onTextChanged);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onTextEdited);
    dbctl::keepWholeCharacters(this);
}

DBEdit::~DBEdit() = default;

void DBEdit::bindData(const FormObjects& objects) {
    maxChars_ = dbctl::intProperty(this, "maxChars", 0);
    // "readOnly" is also QLineEdit's own property, so the loader may have set either.
    bindStored(this, objects, QLineEdit::isReadOnly());
}

void DBEdit::bind(data::DataSource* source, const QString& fieldName) { bindTo(source, fieldName); }

void DBEdit::setDataField(const QString& fieldName) {
    binding_.fieldName = fieldName;
    reload();
}

void DBEdit::setMaxChars(int chars) {
    maxChars_ = chars;
    configure(field());
}

QString DBEdit::text() const {
    if (!mask_.isEmpty()) return mask_.readText(displayText());
    return QLineEdit::text();
}

void DBEdit::setText(const QString& text) {
    if (!mask_.isEmpty())
        QLineEdit::setText(mask_.displayText(text));
    else
        QLineEdit::setText(text);
    modified_ = true; // also when the text happened to be the same
}

QString DBEdit::pendingValue() const {
    if (!mask_.isEmpty()) return mask_.storedValue(displayText());
    return QLineEdit::text();
}

void DBEdit::storePending(data::Field& f) {
    if (!mask_.isEmpty()) mask_.validate(displayText());
    f.SetAsString(pendingValue());
}

void DBEdit::refocusAfterRefusal() {
    selectAll();
    if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
}

// --- the box ---

void DBEdit::configure(const data::Field* f) {
    const QString maskText = f ? f->EditMaskText() : QString();
    if (maskText != maskSource_) {
        maskSource_ = maskText;
        mask_ = f ? f->editMask() : data::EditMask();
        const bool wasReloading = reloading_;
        reloading_ = true;
        setInputMask(mask_.qtInputMask());
        reloading_ = wasReloading;
    }
    int length = 32767;
    if (maxChars_ > 0)
        length = maxChars_;
    else if (f && f->dataType() == data::FieldType::String && f->Size() > 0)
        length = f->Size();
    setMaxLength(length);
}

void DBEdit::reload() {
    data::Field* f = field();
    reloading_ = true;
    configure(f);
    const QString value = f ? f->Text() : QString();
    QLineEdit::setText(mask_.isEmpty() ? value : mask_.displayText(value));
    setModified(false);
    modified_ = false;
    reloading_ = false;
    updateTypingState();
}

void DBEdit::updateTypingState() { QLineEdit::setReadOnly(!binding_.canType()); }

void DBEdit::onTextChanged() {
    if (!reloading_) modified_ = true;
    emit changed();
}

// A change that did not come through a key (the context menu's paste or delete): the
// dataset goes into edit afterwards, keeping what was put into the box.
void DBEdit::onTextEdited() {
    if (reloading_ || binding_.editing()) return;
    const QString shown = displayText();
    const int cursor = cursorPosition();
    if (!binding_.ensureEditing()) {
        reload();
        return;
    }
    QLineEdit::setText(shown);
    setCursorPosition(cursor);
    modified_ = true;
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (modified_) {
            Reset();
            selectAll();
            e->accept();
            return;
        }
        QLineEdit::keyPressEvent(e); // not ours: the window's cancel button may want it
        return;
    }
    if (dbctl::isEditingKey(e)) {
        if (!binding_.canType()) {
            e->accept();
            return;
        }
        const QString typed = e->text();
        if (!typed.isEmpty() && typed.at(0).isPrint() && dbctl::isNumberField(field()) &&
            !dbctl::acceptsNumberText(typed)) {
            QApplication::beep();
            e->accept();
            return;
        }
        if (!binding_.ensureEditingKeepingCursor(this)) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void DBEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (binding_.refusesInput(e)) {
        e->accept();
        return;
    }
    QLineEdit::inputMethodEvent(e);
}

void DBEdit::dropEvent(QDropEvent* e) {
    if (!binding_.ensureEditing()) return;
    QLineEdit::dropEvent(e);
}

void DBEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    // Entering the box by keyboard or from code selects its whole text, masked or not, so
    // that typing replaces it (a click places the cursor instead).
    switch (e->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        selectAll();
        break;
    default:
        break;
    }
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    focusLost(e);
}

} // namespace controls
