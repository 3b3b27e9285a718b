#pragma once
// What the single-field controls (edit box, memo, look-up combos) share: the bound field,
// whether it may be typed into, and how typing puts the dataset into edit.
#include "data/datasource.h"
#include "data/field.h"
#include <QString>
#include <QVariant>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QObject;
class QWidget;

namespace data {
class DataSet;
}

namespace controls {

class FormObjects;

namespace dbctl {

// The value of a stored dynamic property as text ("" when absent).
QString stringProperty(const QObject* o, const char* name);
int intProperty(const QObject* o, const char* name, int fallback = 0);
bool boolProperty(const QObject* o, const char* name, bool fallback = false);

// The data source a stored property names, nullptr when the property is empty or unknown.
data::DataSource* sourceProperty(const QObject* o, const char* name, const FormObjects& objects);

bool isNumberField(const data::Field* f);
// The keys a number field accepts as typed characters: digits, signs, exponent and the
// system's decimal separator. Control characters are not typed text and pass.
bool acceptsNumberText(const QString& typed);

// A line's length limit never keeps half of a character outside the basic plane (an
// emoji typed or pasted into the last free place is left out whole).
void keepWholeCharacters(QLineEdit* line);

// True for a key that changes an edit's text (a printable character, Backspace, Delete,
// cut, paste, undo, redo).
bool isEditingKey(const QKeyEvent* e);

// True when losing the focus means leaving the control for another of the window (not a
// popup or another window, such as a message box, coming up).
bool leavesControl(const QFocusEvent* e);

// The part a single-field control keeps of its binding.
class FieldBinding {
public:
    explicit FieldBinding(data::DataLink& link) : link_(link) {}

    QString fieldName;
    bool readOnly = false; // the control's own read-only switch

    data::DataSet* dataSet() const { return link_.dataSet(); }
    data::DataSource* source() const { return link_.dataSource(); }
    bool active() const;        // bound to an open dataset
    data::Field* field() const; // nullptr unless active and the field exists
    bool editing() const;       // the dataset is in edit or insert state
    // The field may be changed through this control at all (switches, field, dataset).
    bool canModify() const;
    // Typing is allowed now, or would be after an automatic Edit.
    bool canType() const;
    // Puts the dataset into edit when the data source allows it (an Edit on an empty table
    // inserts). Runs guarded: a failing Edit shows its error and answers false.
    bool ensureEditing();
    // ensureEditing() for a key about to change `line`: Edit re-reads the row and reloads
    // the line; when its text is what it was, the cursor and selection are put back so that
    // the key applies where it was pressed.
    bool ensureEditingKeepingCursor(QLineEdit* line);
    // An input-method event that brings text while the dataset cannot go into edit.
    bool refusesInput(const QInputMethodEvent* e);
    // A change of `changed` (nullptr: the whole row) concerns the control: its own field,
    // the whole row, or anything while its dataset is closed.
    bool concerns(const data::Field* changed) const;

private:
    data::DataLink& link_;
};

// What the controls that hold text for their field share (edit box, memo, look-up combo):
// the text is pending from the first change until it is written into the field (when the
// control is left or the row is written), leaving edit drops it, and every move, reload or
// opening of the dataset shows the field's value again.
class TextFieldLink : public data::DataLink {
public:
    TextFieldLink() : binding_(*this) {}

    const QString& dataField() const { return binding_.fieldName; }
    data::Field* field() const { return binding_.field(); }
    // The control's read-only switch (the stored readOnly property; windows lock and unlock
    // controls with it). Typing is also refused while the dataset cannot be edited.
    bool ReadOnly() const { return binding_.readOnly; }
    void SetReadOnly(bool on);
    // The control holds text that is not yet in the field.
    bool Modified() const { return modified_; }
    // Drops the pending text and shows the field's value again (what Esc does).
    void Reset() { reload(); }
    // Writes the pending text into the field now (what leaving the control does). Throws.
    void UpdateRecord();

    // data::DataLink
    void activeChanged() override;
    void stateChanged() override;
    void recordChanged(data::Field* field) override;
    void dataSetScrolled() override;
    void dataSetChanged() override;
    void updateData() override;
    void focusControl(data::Field* field) override;

protected:
    // Shows the field's value (or nothing) and ends any pending text.
    virtual void reload() {}
    virtual void updateTypingState() {}
    // Checks the pending text and stores it in `f`; throws when it is refused.
    virtual void storePending(data::Field& f) = 0;
    // False while the control has no field to write to (an unbound combo keeps its text).
    virtual bool hasBinding() const { return true; }
    // After a refused write: back into the control, so that the user can put it right.
    virtual void refocusAfterRefusal() {}

    // Binds to `fieldName` of `source`, showing its value.
    void bindTo(data::DataSource* source, const QString& fieldName);
    // The stored properties dataSource, dataField and readOnly of `control`.
    void bindStored(const QObject* control, const FormObjects& objects, bool readOnlyDefault);
    // UpdateRecord(), back into the control when it throws.
    void writePending();
    // The control lost the focus: the pending text is written when it was left for another
    // control, guarded.
    void focusLost(const QFocusEvent* e);

    FieldBinding binding_;
    bool modified_ = false;
    bool reloading_ = false;
};

} // namespace dbctl
} // namespace controls
