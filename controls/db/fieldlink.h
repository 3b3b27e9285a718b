#pragma once
// What the single-field controls (edit box, memo, look-up combos) share: the bound field,
// whether it may be typed into, and how typing puts the dataset into edit.
#include "data/datasource.h"
#include "data/field.h"
#include <QString>
#include <QVariant>

class QObject;
class QKeyEvent;
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

// True for a key that changes an edit's text (a printable character, Backspace, Delete,
// cut, paste, undo, redo).
bool isEditingKey(const QKeyEvent* e);

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

  private:
    data::DataLink& link_;
};

} // namespace dbctl
} // namespace controls
