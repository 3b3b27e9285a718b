#pragma once
// What the check-out and check-in window tests share: a fresh database with a few employees
// and destinations, the fixed formats and clock, the scripted questions, and small helpers
// that drive the real controls the way a user does.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "data/database.h"
#include "data/table.h"
#include "locator/destinationform.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace locatortest {

using controls::DBEdit;
using controls::DBLookupCombo;
using controls::DBLookupComboBox;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using data::DataSetState;

// The database and the test seams, made before any window and gone after the last.
class Desk {
public:
    Desk() {
        testsupport::useFixedFormats();
        db_ = std::make_unique<testsupport::TestDatabase>();
        db_->addStaff(QStringLiteral("Abbott, Helen"),
                      {{QStringLiteral("Department"), QStringLiteral("Sales")}});
        db_->addStaff(QStringLiteral("Baker, Tom"),
                      {{QStringLiteral("Department"), QStringLiteral("Accounts")}});
        db_->addStaff(QStringLiteral("Carter, Ann"),
                      {{QStringLiteral("Department"), QStringLiteral("Legal")}});
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
        db_->refuse(table, event, message);
    }
    void allowWrites(const QString& table) { db_->allow(table); }

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> ui_;
};

using testsupport::click;
using testsupport::invalidInput;
using testsupport::pickFromList;
using testsupport::press;
using testsupport::showActive;
using testsupport::typeInto;
using testsupport::walkTabOrder;

// The navigator shows exactly `shown`, in that order, with these hints.
inline void verifyNavigatorButtons(DBNavigator* nav, const QList<DBNavigator::Button>& shown,
                                   const QStringList& hints) {
    QCOMPARE(nav->visibleButtons(), shown);
    for (int b = 0; b < DBNavigator::ButtonCount; ++b)
        QCOMPARE(nav->button(DBNavigator::Button(b))->isVisible(), shown.contains(DBNavigator::Button(b)));
    for (int i = 0; i < shown.size(); ++i)
        QCOMPARE(nav->button(shown[i])->toolTip(), hints[i]);
}

// One test's world: the desk, the window under test and, for the tests that open it, the
// destination list. The test class derives from it besides QObject.
template <class Window> class WindowTest {
protected:
    std::unique_ptr<Desk> desk;
    std::unique_ptr<Window> form;
    std::unique_ptr<TDestinationForm> destinations;

    // The windows come after whatever the test put into the desk's database.
    void openDesk() { desk = std::make_unique<Desk>(); }
    void createWindows(bool withDestinations) {
        form = std::make_unique<Window>();
        if (withDestinations) destinations = std::make_unique<TDestinationForm>();
    }
    // Ends the world, windows first; true when every scripted question was asked.
    bool closeDesk() {
        const bool answered = desk->prompter().verifyAllAnswered();
        destinations.reset();
        form.reset();
        desk.reset();
        return answered;
    }

    // The Save button, with its question answered.
    void answerSave(const char* button, ModalResult answer) {
        desk->prompter().expect("Save changes and return to Main Menu?", MsgDlgType::Confirmation,
                                MsgButtons::YesNoCancel, answer);
        click(form->template child<QPushButton>(button));
    }
    // Save with no row in edit: the layer's error, the window stays, no history row.
    void verifySaveWithNothingPending(const char* button, const QString& logTable) {
        desk->prompter().expect("Save changes and return to Main Menu?", ModalResult::Yes);
        desk->prompter().expect("StaffTable: Dataset not in edit or insert mode.", MsgDlgType::Error,
                                MsgButtons::OK, ModalResult::OK);
        click(form->template child<QPushButton>(button));
        QVERIFY(form->isVisible());
        QCOMPARE(desk->logCount(), 0);
        QCOMPARE(form->table(logTable).State(), DataSetState::Browse);
    }
    // Save answered Yes while the engine refuses `event` on `table`: the error box shows the
    // engine's text.
    void saveRefused(const char* button, const QString& table, const QString& event) {
        desk->refuseWrites(table, event, "The desk is closed");
        desk->prompter().expect("Save changes and return to Main Menu?", ModalResult::Yes);
        // the engine's text may run over several lines (PostgreSQL adds its context)
        const QRegularExpression closed(".*The desk is closed.*",
                                        QRegularExpression::DotMatchesEverythingOption);
        desk->prompter().expectMatching(closed, MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        click(form->template child<QPushButton>(button));
    }
};

} // namespace locatortest
