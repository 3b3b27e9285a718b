#include "controls/db/dbmemo.h"

#include "controls/application.h"
#include "data/dataset.h"
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace controls {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), binding_(*this) {
    setTabChangesFocus(true); // Tab moves on, as in every other box of a window
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
}

DBMemo::~DBMemo() = default;

void DBMemo::bindData(const FormObjects& objects) {
    binding_.fieldName = dbctl::stringProperty(this, "dataField");
    maxChars_ = dbctl::intProperty(this, "maxChars", 0);
    binding_.readOnly = dbctl::boolProperty(this, "readOnly", QPlainTextEdit::isReadOnly());
    data::DataSource* source = dbctl::sourceProperty(this, "dataSource", objects);
    if (source == dataSource())
        reload();
    else
        setDataSource(source);
}

void DBMemo::bind(data::DataSource* source, const QString& fieldName) {
    binding_.fieldName = fieldName;
    if (source == dataSource())
        reload();
    else
        setDataSource(source);
}

void DBMemo::setMaxChars(int chars) {
    maxChars_ = chars;
}

void DBMemo::SetReadOnly(bool on) {
    binding_.readOnly = on;
    updateTypingState();
}

int DBMemo::limit() const {
    if (maxChars_ > 0) return maxChars_;
    const data::Field* f = field();
    if (f && f->dataType() == data::FieldType::String && f->Size() > 0) return f->Size();
    return 0; // a memo field holds text of any length
}

void DBMemo::setText(const QString& text) {
    setPlainText(text);
    modified_ = true;
}

void DBMemo::Reset() {
    reload();
}

void DBMemo::UpdateRecord() {
    if (!modified_) return;
    data::Field* f = field();
    if (!f) {
        modified_ = false;
        return;
    }
    if (!binding_.editing()) return; // text put in by code while the row is only browsed: nowhere to write it
    f->SetAsString(toPlainText());
    modified_ = false;
}

void DBMemo::activeChanged() {
    reload();
}

void DBMemo::stateChanged() {
    if (!binding_.editing() && modified_)
        reload();
    else
        updateTypingState();
}

void DBMemo::recordChanged(data::Field* changed) {
    if (!changed || changed == field() || !binding_.active()) reload();
}

void DBMemo::dataSetScrolled() {
    reload();
}
void DBMemo::dataSetChanged() {
    reload();
}

void DBMemo::updateData() {
    if (!modified_) return;
    try {
        UpdateRecord();
    } catch (...) {
        if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
        throw;
    }
}

void DBMemo::reload() {
    data::Field* f = field();
    reloading_ = true;
    const QString value = f ? f->Text() : QString();
    if (toPlainText() != value) setPlainText(value);
    modified_ = false;
    reloading_ = false;
    updateTypingState();
}

void DBMemo::updateTypingState() {
    QPlainTextEdit::setReadOnly(!binding_.canType());
}

void DBMemo::onTextChanged() {
    if (reloading_) {
        emit changed();
        return;
    }
    if (guardingEdit_) return; // the change being handled below emits once
    guardingEdit_ = true;
    QString now = toPlainText();
    bool ok = true;
    if (!binding_.editing()) {
        // A change that came without a key (the context menu): into edit, keeping it.
        const int cursor = textCursor().position();
        ok = binding_.ensureEditing();
        if (ok && toPlainText() != now) {
            setPlainText(now);
            QTextCursor c = textCursor();
            c.setPosition(qMin(cursor, int(now.size())));
            setTextCursor(c);
        }
    }
    if (!ok) {
        guardingEdit_ = false;
        reload();
        emit changed();
        return;
    }
    const int max = limit();
    if (max > 0 && now.size() > max) {
        QApplication::beep();
        now.truncate(max);
        setPlainText(now);
        moveCursor(QTextCursor::End);
    }
    modified_ = true;
    guardingEdit_ = false;
    emit changed();
}

void DBMemo::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (modified_) {
            Reset();
            selectAll();
            e->accept();
            return;
        }
        e->ignore();
        return;
    }
    const bool editingKey = dbctl::isEditingKey(e) || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (editingKey) {
        if (!binding_.canType()) {
            e->accept();
            return;
        }
        if (!binding_.editing()) {
            const QTextCursor before = textCursor();
            const QString shown = toPlainText();
            if (!binding_.ensureEditing()) {
                e->accept();
                return;
            }
            if (toPlainText() == shown) setTextCursor(before);
        }
        const int max = limit();
        const QString typed = e->text();
        if (max > 0 && !typed.isEmpty() && typed.at(0).isPrint() && !textCursor().hasSelection() &&
            toPlainText().size() >= max) {
            QApplication::beep();
            e->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(e);
}

void DBMemo::inputMethodEvent(QInputMethodEvent* e) {
    if (!e->commitString().isEmpty() && !binding_.ensureEditing()) {
        e->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(e);
}

void DBMemo::insertFromMimeData(const QMimeData* source) {
    if (!binding_.ensureEditing()) return;
    QPlainTextEdit::insertFromMimeData(source);
}

void DBMemo::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (!modified_) return;
    runGuarded([this] {
        try {
            UpdateRecord();
        } catch (...) {
            if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
            throw;
        }
    });
}

} // namespace controls
