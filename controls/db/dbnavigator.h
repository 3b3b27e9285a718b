#pragma once
// DBNavigator: a row of small buttons that run the dataset operations of a data source:
// First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh. The buttons follow
// the dataset's state: all are disabled without an open dataset; First and Prior at the
// first row, Next and Last at the last; Post and Cancel only while editing; Insert, Delete
// and Edit only when the dataset can be modified.
//
// A navigator is a tab stop only where its layout gives it the focus policy Qt::TabFocus;
// then, with the focus, Left and Right move between its shown buttons (the one in focus is
// framed) and Space presses it. A click on a button leaves the focus where it was.
#include "controls/formobjects.h"
#include "data/datasource.h"
#include <QList>
#include <QStringList>
#include <QWidget>

class QToolButton;

namespace controls {

class DBNavigator : public QWidget, public data::DataLink, public DataAware {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)
    static constexpr int ButtonCount = 10;

    explicit DBNavigator(QWidget* parent = nullptr);
    ~DBNavigator() override;

    // Stored properties: dataSource, visibleButtons ("First,Prior,..."; absent: all),
    // showHints.
    void bindData(const FormObjects& objects) override;
    void bind(data::DataSource* source) { setDataSource(source); }

    void setVisibleButtons(const QList<Button>& buttons);
    void setVisibleButtons(const QString& names); // comma-separated
    QList<Button> visibleButtons() const;
    void setShowHints(bool on);
    bool showHints() const { return showHints_; }

    QToolButton* button(Button b) const { return buttons_[b]; }
    static QString buttonName(Button b); // "First", ...
    static QString buttonHint(Button b); // "First record", ...

    // What pressing a button does (guarded; Delete asks first). Nothing when disabled.
    void BtnClick(Button b);

    // data::DataLink
    void activeChanged() override { updateButtons(); }
    void stateChanged() override { updateButtons(); }
    void recordChanged(data::Field*) override { updateButtons(); }
    void dataSetScrolled() override { updateButtons(); }
    void dataSetChanged() override { updateButtons(); }

    void updateButtons();

    // The button that Space presses while the navigator has the focus.
    Button focusedButton() const { return focused_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void layoutButtons();
    void moveFocusedButton(int step);

    QToolButton* buttons_[ButtonCount] = {};
    bool visible_[ButtonCount] = {};
    bool showHints_ = false;
    Button focused_ = First;
};

} // namespace controls
