#include "controls/db/dblookup.h"

#include "controls/application.h"
#include "data/dataset.h"
#include "data/formatsettings.h"
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QWheelEvent>

namespace controls {

namespace {

// Runs f guarded; true when it ran to its end.
bool guarded(const std::function<void()>& f) {
    bool done = false;
    runGuarded([&] {
        f();
        done = true;
    });
    return done;
}

QDateTime clockNow() {
    const auto& fs = data::formatSettings();
    return fs.now ? fs.now() : QDateTime::currentDateTime();
}

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

// ===================================================================== DBLookupCombo

DBLookupCombo::DBLookupCombo(QWidget* parent) : QComboBox(parent), list_(new dbctl::LookupList(this)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // the text is stored as typed, never completed to a list entry
    // With a placeholder, the combo does not choose the first row by itself when the first
    // page of the list arrives.
    setPlaceholderText(QStringLiteral(" "));
    setModel(list_);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBLookupCombo::onTextEdited);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (!reloading_) emit changed();
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, &DBLookupCombo::picked);
    listLink_.onChange = [this] { listChanged(); };
}

DBLookupCombo::~DBLookupCombo() { listLink_.onChange = nullptr; }

void DBLookupCombo::bindData(const FormObjects& objects) {
    binding_.readOnly = dbctl::boolProperty(this, "readOnly", false);
    bindList(dbctl::sourceProperty(this, "listSource", objects), dbctl::stringProperty(this, "listField"),
             dbctl::stringProperty(this, "keyField"));
    bind(dbctl::sourceProperty(this, "dataSource", objects), dbctl::stringProperty(this, "dataField"));
}

void DBLookupCombo::bind(data::DataSource* source, const QString& fieldName) {
    bindTo(source, fieldName);
    updateTypingState();
}

void DBLookupCombo::bindList(data::DataSource* listSource, const QString& listField,
                             const QString& keyField) {
    listLink_.bindList(*list_, listSource, listField, keyField);
}

bool DBLookupCombo::canType() const {
    if (bound()) return binding_.canType();
    return !binding_.readOnly;
}

void DBLookupCombo::setShownText(const QString& text) {
    const QString before = currentText();
    const bool wasReloading = reloading_;
    reloading_ = true;
    setCurrentIndex(list_->findLoadedText(text));
    if (lineEdit()->text() != text) lineEdit()->setText(text);
    lineEdit()->setCursorPosition(0);
    reloading_ = wasReloading;
    if (currentText() != before) emit changed();
}

void DBLookupCombo::setText(const QString& text) {
    setShownText(text);
    if (bound() && binding_.editing()) modified_ = true;
}

void DBLookupCombo::refocusAfterRefusal() {
    if (!hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
}

void DBLookupCombo::reload() {
    if (!bound()) {
        updateTypingState();
        return;
    }
    const data::Field* f = field();
    setShownText(f ? f->Text() : QString());
    modified_ = false;
    updateTypingState();
}

void DBLookupCombo::listChanged() {
    data::DataSet* ds = listLink_.dataSet();
    const QString text = currentText();
    const bool wasReloading = reloading_;
    reloading_ = true;
    if (ds != list_->dataSet())
        list_->setDataSet(ds);
    else
        list_->reset();
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(0);
    reloading_ = wasReloading;
}

void DBLookupCombo::updateTypingState() { lineEdit()->setReadOnly(!canType()); }

void DBLookupCombo::storePending(data::Field& f) {
    f.SetAsString(currentText()); // cut to the field's width
}

void DBLookupCombo::picked(int row) {
    const QString text = list_->text(row);
    if (!canType()) {
        reload();
        return;
    }
    if (bound() && !binding_.editing() && !binding_.ensureEditing()) {
        reload();
        return;
    }
    setShownText(text);
    if (bound()) modified_ = true;
    emit clicked();
}

void DBLookupCombo::onTextEdited() {
    if (!bound() || reloading_) return;
    if (!binding_.editing()) {
        // A change that came without a key (the line's own menu): into edit, keeping it.
        const QString typed = lineEdit()->text();
        if (!binding_.ensureEditing()) {
            reload();
            return;
        }
        setShownText(typed);
    }
    modified_ = true;
}

void DBLookupCombo::showPopup() {
    if (!canType() || !list_->listActive()) return;
    list_->ensureRow(0);
    const bool wasReloading = reloading_;
    reloading_ = true;
    const QString text = currentText();
    setCurrentIndex(list_->findLoadedText(text));
    lineEdit()->setText(text);
    reloading_ = wasReloading;
    QComboBox::showPopup();
}

bool DBLookupCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            auto* e = static_cast<QKeyEvent*>(event);
            if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
                if (bound() && modified_) {
                    Reset();
                    lineEdit()->selectAll();
                    return true;
                }
                return false;
            }
            if (dbctl::isEditingKey(e)) {
                if (!canType()) return true;
                if (bound() && !binding_.ensureEditingKeepingCursor(lineEdit())) return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            focusLost(static_cast<QFocusEvent*>(event));
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void DBLookupCombo::keyPressEvent(QKeyEvent* e) {
    if (isNavigationKey(e->key()) && !(e->modifiers() & Qt::AltModifier)) {
        if (!canType()) {
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_Down || e->key() == Qt::Key_PageDown)
            list_->ensureRow(currentIndex() + (e->key() == Qt::Key_Down ? 1 : 10));
        if (e->key() == Qt::Key_End) list_->seekLast();
    }
    QComboBox::keyPressEvent(e);
}

void DBLookupCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    focusLost(e);
}

void DBLookupCombo::wheelEvent(QWheelEvent* e) {
    e->ignore(); // scrolling past a combo must not pick values
}

// ================================================================== DBLookupComboBox

DBLookupComboBox::DBLookupComboBox(QWidget* parent)
    : QComboBox(parent), binding_(*this), list_(new dbctl::LookupList(this)) {
    setEditable(false);
    setPlaceholderText(QStringLiteral(" ")); // see DBLookupCombo
    setModel(list_);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int row) {
        if (syncing_) return;
        if (!canChoose()) return;
        choose(row, true);
    });
    listLink_.onChange = [this] { listChanged(); };
}

DBLookupComboBox::~DBLookupComboBox() { listLink_.onChange = nullptr; }

void DBLookupComboBox::bindData(const FormObjects& objects) {
    binding_.readOnly = dbctl::boolProperty(this, "readOnly", false);
    const QString listField = dbctl::stringProperty(this, "listField");
    QString keyField = dbctl::stringProperty(this, "keyField");
    bindList(dbctl::sourceProperty(this, "listSource", objects), listField, keyField);
    bind(dbctl::sourceProperty(this, "dataSource", objects), dbctl::stringProperty(this, "dataField"));
}

void DBLookupComboBox::bind(data::DataSource* source, const QString& fieldName) {
    binding_.fieldName = fieldName;
    if (source == dataSource())
        reload();
    else
        setDataSource(source);
}

void DBLookupComboBox::bindList(data::DataSource* listSource, const QString& listField,
                                const QString& keyField) {
    listLink_.bindList(*list_, listSource, listField, keyField);
}

void DBLookupComboBox::SetReadOnly(bool on) {
    binding_.readOnly = on;
    update();
}

bool DBLookupComboBox::canChoose() const {
    if (!list_->listActive()) return false;
    if (isBound()) return binding_.canType();
    return !binding_.readOnly;
}

void DBLookupComboBox::setShown(const QVariant& key, const QString& text) {
    const bool changedText = text != shown_;
    keyValue_ = key;
    shown_ = text;
    syncing_ = true;
    setCurrentIndex(list_->findLoadedText(text));
    syncing_ = false;
    update();
    if (changedText) emit changed();
}

void DBLookupComboBox::reload() {
    if (!isBound()) return;
    const data::Field* f = binding_.field();
    if (!f || f->IsNull()) {
        hasChoice_ = false;
        setShown({}, QString());
        return;
    }
    const QVariant key = f->Value();
    QString text;
    if (list_->keyField() == list_->listField() || list_->listField().isEmpty()) {
        text = f->Text();
    } else {
        const int row = list_->findKey(key);
        text = list_->text(row);
    }
    hasChoice_ = true;
    setShown(key, text);
}

void DBLookupComboBox::listChanged() {
    data::DataSet* ds = listLink_.dataSet();
    syncing_ = true;
    if (ds != list_->dataSet())
        list_->setDataSet(ds);
    else
        list_->reset();
    setCurrentIndex(-1);
    syncing_ = false;
    if (isBound() && list_->keyField() != list_->listField()) reload();
    update();
}

void DBLookupComboBox::activeChanged() { reload(); }
void DBLookupComboBox::stateChanged() { update(); }

void DBLookupComboBox::recordChanged(data::Field* changed) {
    if (binding_.concerns(changed)) reload();
}

void DBLookupComboBox::dataSetScrolled() { reload(); }
void DBLookupComboBox::dataSetChanged() { reload(); }

bool DBLookupComboBox::applyKey(const QVariant& key, const QString& text) {
    if (isBound()) {
        if (!binding_.ensureEditing()) return false;
        return guarded([&] { binding_.field()->SetValue(key); }); // reloads through the field
    }
    const QVariant oldKey = keyValue_;
    const QString oldShown = shown_;
    const bool oldChoice = hasChoice_;
    hasChoice_ = true;
    setShown(key, text);
    data::DataSet* ds = list_->dataSet();
    const QString keyField = list_->keyField();
    const bool ok = guarded([&] {
        if (ds && ds->Active()) ds->Locate(keyField, key);
    });
    if (!ok) {
        hasChoice_ = oldChoice;
        setShown(oldKey, oldShown);
    }
    return ok;
}

bool DBLookupComboBox::choose(int row, bool click) {
    if (!list_->ensureRow(row)) return false;
    const QVariant key = list_->key(row);
    const QString text = list_->text(row);
    if (!applyKey(key, text)) return false;
    if (click) emit clicked();
    return true;
}

void DBLookupComboBox::setKeyValue(const QVariant& key) {
    const int row = list_->findKey(key);
    applyKey(key, list_->text(row));
}

int DBLookupComboBox::chosenRow() {
    if (!hasChoice_) return -1;
    return list_->findKey(keyValue_);
}

void DBLookupComboBox::step(int delta) {
    int current = chosenRow();
    int target;
    if (delta == INT_MIN) {
        if (!list_->atStart()) {
            list_->reset(); // back to the list's first rows
            current = hasChoice_ ? list_->findLoadedKey(keyValue_) : -1;
        }
        target = 0;
    } else if (delta == INT_MAX) {
        target = list_->seekLast();
        current = hasChoice_ ? list_->findLoadedKey(keyValue_) : -1;
    } else {
        target = current < 0 ? 0 : current + delta;
        // above the first row held: read the rows before it
        while (target < 0 && !list_->atStart()) {
            const int added = list_->fetchBefore();
            if (added == 0) break;
            target += added;
            if (current >= 0) current += added;
        }
    }
    if (target < 0) target = 0;
    if (!list_->ensureRow(target)) target = list_->rowCount() - 1;
    if (target < 0 || target == current) return;
    choose(target, true);
}

void DBLookupComboBox::showPopup() {
    if (!canChoose()) return;
    data::DataSet* ds = list_->dataSet();
    const QString keyField = list_->keyField();
    const QVariant key = keyValue_;
    const bool has = hasChoice_;
    const bool moved = guarded([&] {
        if (!(has && ds->Locate(keyField, key))) ds->First();
    });
    if (!moved) return;
    int row = has ? list_->findKey(key) : -1;
    if (row < 0 && list_->ensureRow(0)) row = 0;
    if (row >= 0) row += list_->fetchBefore(); // the list opens with rows above the choice too
    syncing_ = true;
    setCurrentIndex(row);
    syncing_ = false;
    QComboBox::showPopup();
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Backspace) {
        search_.clear();
        e->accept();
        return;
    }
    if (key == Qt::Key_Escape) {
        search_.clear();
        e->ignore(); // the window may still want Esc
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        e->ignore();
        return;
    }
    if (isNavigationKey(key) && !(mods & Qt::AltModifier)) {
        e->accept();
        if (!canChoose()) return;
        switch (key) {
        case Qt::Key_Up:
            step(-1);
            break;
        case Qt::Key_Down:
            step(1);
            break;
        case Qt::Key_PageUp:
            step(-(maxVisibleItems() - 1));
            break;
        case Qt::Key_PageDown:
            step(maxVisibleItems() - 1);
            break;
        case Qt::Key_Home:
            step(INT_MIN);
            break;
        case Qt::Key_End:
            step(INT_MAX);
            break;
        }
        return;
    }
    const QString typed = e->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (printable) {
        e->accept();
        if (!canChoose()) return;
        const QDateTime now = clockNow();
        if (!lastKey_.isValid() || lastKey_.msecsTo(now) > 2000) search_.clear();
        lastKey_ = now;
        for (QChar c : typed) {
            if (search_.size() >= 32) break;
            const QString candidate = search_ + c;
            const int row = list_->findPrefix(candidate);
            if (row >= 0 && choose(row, true)) search_ = candidate;
        }
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DBLookupComboBox::mousePressEvent(QMouseEvent* e) {
    if ((focusPolicy() & Qt::ClickFocus) && isActiveWindow() && !hasFocus()) {
        e->accept();
        return;
    }
    QComboBox::mousePressEvent(e);
}

void DBLookupComboBox::paintEvent(QPaintEvent*) {
    // The shown text is the choice itself, which need not be among the rows read so far.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = shown_;
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void DBLookupComboBox::wheelEvent(QWheelEvent* e) {
    e->ignore(); // scrolling past the list must not move tables
}

} // namespace controls
