#pragma once
// Field objects: one column of a dataset's current row, as a layout declares it.
#include "editmask.h"
#include <QString>
#include <QVariant>

namespace data {

class DataSet;

enum class FieldType { String, Integer, AutoInc, Float, DateTime, Memo };

struct FieldDef {
    QString name;      // component name, e.g. "StaffTableName" (may be empty)
    QString fieldName; // column name, e.g. "Name", "Date Left"
    FieldType type = FieldType::String;
    int size = 20; // characters for String (default 20), definition size for Memo
    bool required = false;
    QString editMask;     // in the layouts' mask language, empty for none
    int displayWidth = 0; // characters; 0: the field's size
    bool readOnly = false;
};

class Field {
public:
    Field(DataSet* dataSet, FieldDef def, int index);

    DataSet* dataSet() const { return dataSet_; }
    const QString& name() const { return def_.name; }
    const QString& FieldName() const { return def_.fieldName; }
    FieldType dataType() const { return def_.type; }
    int Size() const { return def_.size; }
    int index() const { return index_; } // position among the dataset's fields
    bool Required() const { return def_.required; }
    void SetRequired(bool on) { def_.required = on; }
    // Gives the focus to the control that shows this field.
    void FocusControl();
    bool ReadOnly() const { return def_.readOnly; }
    const QString& EditMaskText() const { return def_.editMask; }
    const EditMask& editMask() const { return mask_; }
    int DisplayWidth() const;
    bool isText() const { return def_.type == FieldType::String || def_.type == FieldType::Memo; }

    // The current row's value. Empty text and NULL are the same thing: IsNull().
    QVariant Value() const;
    bool IsNull() const;
    QString AsString() const; // "" for NULL; floats in the shortest exact form
    QString Text() const { return AsString(); }
    double AsFloat() const;
    int AsInteger() const;

    // Setting a value: the dataset must be in edit or insert mode
    // ("<dataset>: Dataset not in edit or insert mode" otherwise). Text is cut to Size();
    // for a number field, a text that is no number raises
    // "'%s' is not a valid floating point value for field '%s'". Setting marks the row
    // modified and tells the data sources (the boxes reload the field, dropping pending text).
    void SetAsString(const QString& text);
    void SetText(const QString& text) { SetAsString(text); }
    void SetValue(const QVariant& value);
    void Clear(); // empties the value

    // The value a text converts to for this field, without storing it (same errors).
    QVariant convertText(const QString& text) const;

private:
    DataSet* dataSet_;
    FieldDef def_;
    EditMask mask_;
    int index_;
};

} // namespace data
