#pragma once
// What the check-out and check-in window tests share: a fresh database with a few employees
// and destinations, the fixed formats and clock, the scripted questions, and small helpers
// that drive the real controls the way a user does.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "data/database.h"
#include "data/table.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace locatortest {

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

// The database and the test seams, made before any window and gone after the last.
class Desk {
public:
    Desk() {
        testsupport::useFixedFormats();
        db_ = std::make_unique<testsupport::TestDatabase>();
        db_->addStaff(QStringLiteral("Abbott, Helen"), {{QStringLiteral("Department"), QStringLiteral("Sales")}});
        db_->addStaff(QStringLiteral("Baker, Tom"), {{QStringLiteral("Department"), QStringLiteral("Accounts")}});
        db_->addStaff(QStringLiteral("Carter, Ann"), {{QStringLiteral("Department"), QStringLiteral("Legal")}});
        db_->addDestination(QStringLiteral("Head Office"));
        db_->addDestination(QStringLiteral("Site Visit"));
        ui_ = std::make_unique<testsupport::UiTestEnv>();
    }
    ~Desk() {
        ui_.reset();
        db_.reset();
    }

    testsupport::TestDatabase& db() { return *db_; }
    testsupport::ScriptedPrompter& prompter() { return ui_->prompter(); }
    testsupport::NonBlockingShower& shower() { return ui_->shower(); }

    QVariantMap staff(const QString& name) {
        const auto rows = db_->rows(QStringLiteral("SELECT * FROM Staff WHERE Name = ?"), {name});
        return rows.value(0);
    }
    QList<QVariantMap> log() {
        return db_->rows(QStringLiteral("SELECT * FROM Staff_Log ORDER BY Transaction_Id"));
    }
    int logCount() { return db_->scalar(QStringLiteral("SELECT COUNT(*) FROM Staff_Log")).toInt(); }

    // An engine that refuses every change of a table, as a locked or failing database would.
    void refuseWrites(const QString& table, const QString& event, const QString& message) {
        db_->exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %2 ON \"%1\" BEGIN SELECT RAISE(ABORT, '%3'); END")
                      .arg(table, event, message));
    }
    void allowWrites(const QString& table) { db_->exec(QStringLiteral("DROP TRIGGER refuse_%1").arg(table)); }

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> ui_;
};

// Shows a window as the main menu does and makes it the active one, so that focus changes
// are real.
inline bool showActive(controls::Form& form) {
    form.ShowModal();
    QApplication::setActiveWindow(&form);
    form.activateWindow();
    QCoreApplication::processEvents();
    return form.isVisible() && form.isActiveWindow();
}

inline void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

// Puts the focus into a box as Tab does (its text selected) and types.
inline void typeInto(QWidget* box, const QString& keys) {
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(box, keys);
}

// Opens a look-up's list and clicks the row showing `text`; false when the list has none.
inline bool pickFromList(QComboBox* combo, const QString& text) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    if (!view->isVisible())
        return false;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QModelIndex index = view->model()->index(row, 0);
        if (index.data().toString() == text) {
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            return true;
        }
    }
    combo->hidePopup();
    return false;
}

inline void press(controls::DBNavigator* navigator, controls::DBNavigator::Button b) {
    click(navigator->button(b));
}

// The error box's text for a message of the layer (the box appends the ".").
inline QString invalidInput() {
    return QStringLiteral("Invalid input value.  Use escape key to abandon changes.");
}

} // namespace locatortest
