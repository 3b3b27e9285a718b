#include "controls/db/dbedit.h"

#include "controls/application.h"
#include "data/dataset.h"
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace controls {

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), binding_(*this) {
    connect(this, &QLineEdit::textChanged, this, &DBEdit::onTextChanged);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onTextEdited);
}

DBEdit::~DBEdit() = default;

void DBEdit::bindData(const FormObjects& objects) {
    binding_.fieldName = dbctl::stringProperty(this, "dataField");
    maxChars_ = dbctl::intProperty(this, "maxChars", 0);
    // "readOnly" is also QLineEdit's own property, so the loader may have set either.
    binding_.readOnly = dbctl::boolProperty(this, "readOnly", QLineEdit::isReadOnly());
    data::DataSource* source = dbctl::sourceProperty(this, "dataSource", objects);
    if (source == dataSource())
        reload();
    else
        setDataSource(source); // reloads through activeChanged()
}

void DBEdit::bind(data::DataSource* source, const QString& fieldName) {
    binding_.fieldName = fieldName;
    if (source == dataSource())
        reload();
    else
        setDataSource(source);
}

void DBEdit::setDataField(const QString& fieldName) {
    binding_.fieldName = fieldName;
    reload();
}

void DBEdit::setMaxChars(int chars) {
    maxChars_ = chars;
    configure(field());
}

void DBEdit::SetReadOnly(bool on) {
    binding_.readOnly = on;
    updateTypingState();
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

void DBEdit::Reset() {
    reload();
}

QString DBEdit::pendingValue() const {
    if (!mask_.isEmpty()) return mask_.storedValue(displayText());
    return QLineEdit::text();
}

void DBEdit::UpdateRecord() {
    if (!modified_) return;
    data::Field* f = field();
    if (!f) {
        modified_ = false;
        return;
    }
    if (!binding_.editing()) return; // text put in by code while the row is only browsed: nowhere to write it
    if (!mask_.isEmpty()) mask_.validate(displayText());
    f->SetAsString(pendingValue()); // reloads this box through recordChanged()
    modified_ = false;
}

void DBEdit::refuseAndRefocus() {
    selectAll();
    if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
}

// --- data::DataLink ---

void DBEdit::activeChanged() {
    reload();
}

void DBEdit::stateChanged() {
    // Leaving edit or insert (post, cancel, close) ends whatever the box still held.
    if (!binding_.editing() && modified_)
        reload();
    else
        updateTypingState();
}

void DBEdit::recordChanged(data::Field* changed) {
    if (!changed || changed == field() || !binding_.active()) reload();
}

void DBEdit::dataSetScrolled() {
    reload();
}
void DBEdit::dataSetChanged() {
    reload();
}

void DBEdit::updateData() {
    if (!modified_) return;
    try {
        UpdateRecord();
    } catch (...) {
        refuseAndRefocus();
        throw;
    }
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

void DBEdit::updateTypingState() {
    QLineEdit::setReadOnly(!binding_.canType());
}

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
        if (!binding_.editing()) {
            // Edit re-reads the row and reloads the box; the key then applies to what
            // the box shows, where the cursor was.
            const QString before = displayText();
            const int cursor = cursorPosition();
            const int selStart = selectionStart();
            const int selLength = selectedText().size();
            if (!binding_.ensureEditing()) {
                e->accept();
                return;
            }
            if (displayText() == before) {
                if (selStart >= 0)
                    setSelection(selStart, selLength);
                else
                    setCursorPosition(cursor);
            }
        }
    }
    QLineEdit::keyPressEvent(e);
}

void DBEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!e->commitString().isEmpty() && !binding_.ensureEditing()) {
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
    // Only leaving the box for another control of the window counts: a popup or another
    // window (a message box) coming up does not.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (!modified_) return;
    runGuarded([this] {
        try {
            UpdateRecord();
        } catch (...) {
            refuseAndRefocus();
            throw;
        }
    });
}

} // namespace controls
