#pragma once
// The two look-up controls over a list dataset (listSource, listField, keyField):
//
// DBLookupCombo     an editable combo: the shown text, picked from the list, typed freely or
//                   set by code, is stored in its own field (dataSource, dataField) at the
//                   next write of the row, cut to the field's width. Without a field it only
//                   holds its text for the window to read.
// DBLookupComboBox  a pick-only list, bound to a field (the field takes the key of the pick)
//                   or unbound (a pick moves the list dataset to the chosen row). Typing into
//                   the closed list searches it; clicked() follows every pick.
#include "controls/db/fieldlink.h"
#include "controls/db/lookuplist.h"
#include "controls/formobjects.h"
#include <QComboBox>
#include <QDateTime>

namespace controls {

class DBLookupCombo : public QComboBox, public dbctl::TextFieldLink, public DataAware {
    Q_OBJECT
public:
    explicit DBLookupCombo(QWidget* parent = nullptr);
    ~DBLookupCombo() override;

    // Stored properties: dataSource, dataField, listSource, listField, keyField, readOnly.
    void bindData(const FormObjects& objects) override;

    void bind(data::DataSource* source, const QString& fieldName);
    void bindList(data::DataSource* listSource, const QString& listField, const QString& keyField = {});
    bool isReadOnly() const { return binding_.readOnly; }
    void setReadOnly(bool on) { SetReadOnly(on); }

    QString text() const { return currentText(); }
    QString Text() const { return text(); }
    // Text set by code. A bound combo stores it at the next write of the row when its
    // dataset is editing at the time.
    void setText(const QString& text);
    void SetText(const QString& text) { setText(text); }
    // Modified, Reset, UpdateRecord (the pending text, cut to the field's width) and the
    // notifications of the own field: see TextFieldLink.

    dbctl::LookupList* list() const { return list_; }

    void showPopup() override;

signals:
    void changed();
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    bool bound() const { return !binding_.fieldName.isEmpty() && dataSource(); }
    bool canType() const;
    void reload() override;
    void updateTypingState() override;
    void storePending(data::Field& f) override;
    bool hasBinding() const override { return bound(); }
    void refocusAfterRefusal() override;
    void listChanged();
    void setShownText(const QString& text);
    void picked(int row);
    void onTextEdited();

    dbctl::LookupList* list_;
    dbctl::ListLink listLink_;
};

class DBLookupComboBox : public QComboBox, public data::DataLink, public DataAware {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    ~DBLookupComboBox() override;

    // Stored properties: dataSource, dataField (both may be absent), listSource, listField,
    // keyField (default: the list field), readOnly.
    void bindData(const FormObjects& objects) override;

    void bind(data::DataSource* source, const QString& fieldName);
    void bindList(data::DataSource* listSource, const QString& listField, const QString& keyField = {});
    bool isBound() const { return !binding_.fieldName.isEmpty() && dataSource(); }
    bool ReadOnly() const { return binding_.readOnly; }
    void SetReadOnly(bool on);

    // The current choice: its key and its shown text (empty before the first choice).
    QVariant keyValue() const { return keyValue_; }
    QString text() const { return shown_; }
    QString Text() const { return text(); }
    // Chooses by code: shows the list row with this key; a bound control stores the key in
    // its field, an unbound one moves its list dataset there. No clicked().
    void setKeyValue(const QVariant& key);
    // The search text typed so far (see keyPressEvent).
    const QString& searchText() const { return search_; }

    dbctl::LookupList* list() const { return list_; }
    data::DataSet* listDataSet() const { return list_->dataSet(); }

    // data::DataLink (the own field, when bound)
    void activeChanged() override;
    void stateChanged() override;
    void recordChanged(data::Field* field) override;
    void dataSetScrolled() override;
    void dataSetChanged() override;

    // Opening the list moves the list dataset to the current choice (the first row when
    // there is none or it is gone).
    void showPopup() override;

signals:
    void clicked();
    void changed();

protected:
    // While the list is closed every printable key extends a search text: the first listed
    // value that begins with it, ignoring case, is chosen; a key that finds nothing is not
    // added; after more than 2 seconds without a key the search starts afresh; Backspace and
    // Esc clear it; it holds at most 32 characters.
    void keyPressEvent(QKeyEvent* e) override;
    // A click opens the list only when it brought the focus here: a box that refused its
    // text on being left keeps the focus, and the list stays shut.
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    bool canChoose() const;
    void reload();
    void listChanged();
    // Makes row `row` of the list the choice; false when a layer error stopped it.
    bool choose(int row, bool click);
    bool applyKey(const QVariant& key, const QString& text);
    void step(int delta);
    void setShown(const QVariant& key, const QString& text);
    int chosenRow();

    dbctl::FieldBinding binding_;
    dbctl::LookupList* list_;
    dbctl::ListLink listLink_;
    QVariant keyValue_;
    QString shown_;
    bool hasChoice_ = false;
    QString search_;
    QDateTime lastKey_;
    bool syncing_ = false;
};

} // namespace controls
