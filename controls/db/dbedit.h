#pragma once
// DBEdit: a one-line box bound to one field of a data source's dataset.
//
// The box shows the current row's value; typing puts the dataset into edit (when the data
// source's AutoEdit allows it) and keeps the typed text pending until the box is left or the
// row is written, when it is checked (edit mask, number) and stored in the field. Esc puts
// the field's value back. Text set into the field by code reloads the box.
#include "controls/db/fieldlink.h"
#include "controls/formobjects.h"
#include "data/editmask.h"
#include <QLineEdit>

namespace controls {

class DBEdit : public QLineEdit, public data::DataLink, public DataAware {
    Q_OBJECT
  public:
    explicit DBEdit(QWidget* parent = nullptr);
    ~DBEdit() override;

    // Stored properties: dataSource, dataField, maxChars, readOnly.
    void bindData(const FormObjects& objects) override;

    // Binding by code (the stored properties do the same).
    void bind(data::DataSource* source, const QString& fieldName);
    const QString& dataField() const { return binding_.fieldName; }
    void setDataField(const QString& fieldName);
    int maxChars() const { return maxChars_; }
    void setMaxChars(int chars); // 0: the field's width
    // The control's read-only switch (the stored readOnly property; windows lock and unlock
    // boxes with it). The box also refuses typing while its dataset cannot be edited.
    bool ReadOnly() const { return binding_.readOnly; }
    void SetReadOnly(bool on);
    bool isReadOnly() const { return binding_.readOnly; }
    void setReadOnly(bool on) { SetReadOnly(on); }
    data::Field* field() const { return binding_.field(); }

    // The text as a window reads it: with an edit mask, the mask's literals in their places
    // and a blank in every unfilled place.
    QString text() const;
    QString Text() const { return text(); }
    // Text set by code is pending like typed text: it is stored at the next write of the row.
    void setText(const QString& text);
    void SetText(const QString& text) { setText(text); }
    // The box holds text that is not yet in the field.
    bool Modified() const { return modified_; }
    // Drops the pending text and shows the field's value again (what Esc does).
    void Reset();
    // Writes the pending text into the field now (what leaving the box does). Throws.
    void UpdateRecord();

    // data::DataLink
    void activeChanged() override;
    void stateChanged() override;
    void recordChanged(data::Field* field) override;
    void dataSetScrolled() override;
    void dataSetChanged() override;
    void updateData() override;

  signals:
    void changed();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void reload();
    void configure(const data::Field* f);
    void updateTypingState();
    void onTextChanged();
    void onTextEdited();
    void refuseAndRefocus();
    QString pendingValue() const;

    dbctl::FieldBinding binding_;
    int maxChars_ = 0;
    bool modified_ = false;
    bool reloading_ = false;
    data::EditMask mask_;
    QString maskSource_;
};

} // namespace controls
