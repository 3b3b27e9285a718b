#pragma once
// DBMemo: a multi-line box bound to one field, like DBEdit without edit masks.
#include "controls/db/fieldlink.h"
#include "controls/formobjects.h"
#include <QPlainTextEdit>

namespace controls {

class DBMemo : public QPlainTextEdit, public data::DataLink, public DataAware {
    Q_OBJECT
  public:
    explicit DBMemo(QWidget* parent = nullptr);
    ~DBMemo() override;

    // Stored properties: dataSource, dataField, maxChars, readOnly.
    void bindData(const FormObjects& objects) override;

    void bind(data::DataSource* source, const QString& fieldName);
    const QString& dataField() const { return binding_.fieldName; }
    int maxChars() const { return maxChars_; }
    void setMaxChars(int chars); // 0: the field's width for a text field, unlimited for a memo
    bool ReadOnly() const { return binding_.readOnly; }
    void SetReadOnly(bool on);
    bool isReadOnly() const { return binding_.readOnly; }
    void setReadOnly(bool on) { SetReadOnly(on); }
    data::Field* field() const { return binding_.field(); }

    QString text() const { return toPlainText(); }
    QString Text() const { return text(); }
    // Text set by code is pending like typed text.
    void setText(const QString& text);
    void SetText(const QString& text) { setText(text); }
    bool Modified() const { return modified_; }
    void Reset();
    void UpdateRecord(); // throws

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
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    void reload();
    void updateTypingState();
    void onTextChanged();
    int limit() const;

    dbctl::FieldBinding binding_;
    int maxChars_ = 0;
    bool modified_ = false;
    bool reloading_ = false;
    bool guardingEdit_ = false;
};

} // namespace controls
