#pragma once
// What the profile and password window tests share: a fresh database with three employees
// and three departments, the scripted questions, both windows created as at start-up, and
// helpers that drive the real controls the way a user does.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "data/table.h"
#include "records/dskstaff.h"
#include "records/passwordform.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace profiletest {

using controls::DBEdit;
using controls::DBLookupCombo;
using controls::DBMemo;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using data::DataSetState;

using testsupport::click;
using testsupport::pickFromList;
using testsupport::typeInto;

// One test's world: the database, the seams and the two windows, made in the order of
// start-up and gone in reverse.
class ProfileDesk {
public:
    ProfileDesk() {
        testsupport::useFixedFormats();
        db_ = std::make_unique<testsupport::TestDatabase>();
        db_->addStaff("Abbott, Helen", {{"Emp_Num", 101}, {"Department", "Sales"}});
        db_->addStaff("Baker, Tom", {{"Emp_Num", 102}, {"Department", "Accounts"}});
        db_->addStaff("Carter, Ann", {{"Emp_Num", 103},
                                      {"Department", "Legal"},
                                      {"EMail", "ann@corvane.example"},
                                      {"Password", "carter1"}});
        db_->addDept("Accounts");
        db_->addDept("Legal");
        db_->addDept("Sales");
        ui_ = std::make_unique<testsupport::UiTestEnv>();
    }
    ~ProfileDesk() { closeWindows(); }

    void createWindows() {
        form = std::make_unique<TDSKSTAFF>();
        password = std::make_unique<TPasswordForm>();
    }
    void closeWindows() {
        password.reset();
        form.reset();
    }

    testsupport::TestDatabase& db() { return *db_; }
    testsupport::ScriptedPrompter& prompter() { return ui_->prompter(); }
    testsupport::NonBlockingShower& shower() { return ui_->shower(); }

    QVariantMap staff(const QString& name) {
        return db_->rows("SELECT * FROM Staff WHERE Name = ?", {name}).value(0);
    }
    int staffCount() { return db_->scalar("SELECT COUNT(*) FROM Staff").toInt(); }

    // --- the profile window as a user drives it ---
    bool show() { return testsupport::showActive(*form); }
    data::Table& table1() { return form->table("Table1"); }
    QString current() { return form->field("Table1Name").AsString(); }
    QWidget* box(const QString& name) { return form->child<QWidget>(name); }
    DBEdit* edit(const QString& name) { return form->child<DBEdit>(name); }
    DBLookupCombo* department() { return form->child<DBLookupCombo>("DBLookupCombo1"); }
    DBNavigator* navigator() { return form->child<DBNavigator>("DBNavigator1"); }

    void retrieve(const QString& text) {
        auto* search = form->child<QLineEdit>("Edit1");
        search->setFocus();
        search->selectAll();
        if (text.isEmpty())
            search->clear();
        else
            QTest::keyClicks(search, text);
        click(form->child<QPushButton>("Button1"));
    }
    // A button whose question is answered; with `error`, the default error box follows with
    // that text (".+": any text).
    void answer(const char* button, const QString& question, ModalResult result,
                MsgButtons buttons = MsgButtons::YesNo, const QString& error = {}) {
        prompter().expect(question, MsgDlgType::Confirmation, buttons, result);
        if (error == ".+")
            expectAnyError();
        else if (!error.isEmpty())
            expectError(error);
        click(form->child<QPushButton>(button));
    }
    void newProfile(const QString& error = {}) {
        answer("Button2", "Add new employee profile record?", ModalResult::Yes, MsgButtons::YesNo, error);
    }
    void editProfile() { answer("Button5", "Edit this record?", ModalResult::Yes); }
    void save(ModalResult result, const QString& error = {}) {
        answer("Button4", "Save changes before closing?", result, MsgButtons::YesNoCancel, error);
    }
    // The next question is the default error box with this text.
    void expectError(const QString& text) {
        prompter().expect(text, MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
    }
    void expectAnyError() {
        prompter().expectMatching(QRegularExpression(".+", QRegularExpression::DotMatchesEverythingOption),
                                  MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
    }
    void press(DBNavigator::Button b) { click(navigator()->button(b)); }

    // The password window over the profile window: types into its box and leaves with OK.
    void typePassword(const QString& keys) {
        click(form->child<QPushButton>("Button3"));
        auto* box = password->child<DBEdit>("EditPassword");
        typeInto(box, keys);
        click(password->child<QPushButton>("BitBtn1"));
    }

    // True when every profile box's read-only switch is `on`.
    bool boxesReadOnly(bool on) {
        for (const QString& name : TDSKSTAFF::profileBoxes()) {
            auto* link = dynamic_cast<controls::dbctl::TextFieldLink*>(box(name));
            if (!link || link->ReadOnly() != on) return false;
        }
        return true;
    }

    std::unique_ptr<TDSKSTAFF> form;
    std::unique_ptr<TPasswordForm> password;

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> ui_;
};

} // namespace profiletest
