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

class DBEdit : public QLineEdit, public dbctl::TextFieldLink, public DataAware {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    ~DBEdit() override;

    // Stored properties: dataSource, dataField, maxChars, readOnly.
    void bindData(const FormObjects& objects) override;

    // Binding by code (the stored properties do the same).
    void bind(data::DataSource* source, const QString& fieldName);
    void setDataField(const QString& fieldName);
    int maxChars() const { return maxChars_; }
    void setMaxChars(int chars); // 0: the field's width
    // The read-only switch (ReadOnly, SetReadOnly) is the control's, not the line's.
    bool isReadOnly() const { return binding_.readOnly; }
    void setReadOnly(bool on) { SetReadOnly(on); }

    // The text as a window reads it: with an edit mask, the mask's literals in their places
    // and a blank in every unfilled place.
    QString text() const;
    QString Text() const { return text(); }
    // Text set by code is pending like typed text: it is stored at the next write of the row.
    void setText(const QString& text);
    void SetText(const QString& text) { setText(text); }
signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void reload() override;
    void updateTypingState() override;
    void storePending(data::Field& f) override;
    void refocusAfterRefusal() override;
    void configure(const data::Field* f);
    void onTextChanged();
    void onTextEdited();
    QString pendingValue() const;

    int maxChars_ = 0;
    data::EditMask mask_;
    QString maskSource_;
};

} // namespace controls
