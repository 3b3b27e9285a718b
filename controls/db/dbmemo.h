#pragma once
// DBMemo: a multi-line box bound to one field, like DBEdit without edit masks.
#include "controls/db/fieldlink.h"
#include "controls/formobjects.h"
#include <QPlainTextEdit>

namespace controls {

class DBMemo : public QPlainTextEdit, public dbctl::TextFieldLink, public DataAware {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    ~DBMemo() override;

    // Stored properties: dataSource, dataField, maxChars, readOnly.
    void bindData(const FormObjects& objects) override;

    void bind(data::DataSource* source, const QString& fieldName);
    int maxChars() const { return maxChars_; }
    void setMaxChars(int chars); // 0: the field's width for a text field, unlimited for a memo
    // The read-only switch (ReadOnly, SetReadOnly) is the control's, not the editor's.
    bool isReadOnly() const { return binding_.readOnly; }
    void setReadOnly(bool on) { SetReadOnly(on); }

    QString text() const { return toPlainText(); }
    QString Text() const { return text(); }
    // Text set by code is pending like typed text.
    void setText(const QString& text);
    void SetText(const QString& text) { setText(text); }
signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void reload() override;
    void updateTypingState() override;
    void storePending(data::Field& f) override;
    void refocusAfterRefusal() override;
    void onTextChanged();
    int limit() const;

    int maxChars_ = 0;
    bool guardingEdit_ = false;
};

} // namespace controls
