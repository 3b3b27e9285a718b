#include "controls/db/dbmemo.h"

#include "controls/application.h"
#include "data/dataset.h"
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace controls {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true); // Tab moves on, as in every other box of a window
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
}

DBMemo::~DBMemo() = default;

void DBMemo::bindData(const FormObjects& objects) {
    maxChars_ = dbctl::intProperty(this, "maxChars", 0);
    bindStored(this, objects, QPlainTextEdit::isReadOnly());
}

void DBMemo::bind(data::DataSource* source, const QString& fieldName) { bindTo(source, fieldName); }

void DBMemo::setMaxChars(int chars) { maxChars_ = chars; }

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

void DBMemo::storePending(data::Field& f) { f.SetAsString(toPlainText()); }

void DBMemo::refocusAfterRefusal() {
    if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
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

void DBMemo::updateTypingState() { QPlainTextEdit::setReadOnly(!binding_.canType()); }

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
    if (binding_.refusesInput(e)) {
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
    focusLost(e);
}

} // namespace controls
