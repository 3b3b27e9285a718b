#pragma once
// What the message pad's window tests share: a desk with a few employees, media and message
// types, the three windows created in start-up order, a shell that records the links it is
// handed, and helpers that drive the real controls as a user does.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "data/table.h"
#include "layouts/layouts.h"
#include "messages/addmsgform.h"
#include "messages/mediaform.h"
#include "messages/msgtypeform.h"
#include "shell/shell.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <memory>

namespace messagetest {

using controls::DBEdit;
using controls::DBLookupCombo;
using controls::DBMemo;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using data::DataSetState;

class RecordingShell : public shell::Shell {
public:
    void open(const QString& link) override { links << link; }
    QStringList links;
};

// A link taken apart the way a mail program reads it: the address, then each header
// (name=value after "?", separated by "&"), every part percent-decoded.
struct DecodedLink {
    bool isMailto = false;
    QString address;
    QList<QPair<QString, QString>> headers;
};
inline DecodedLink decodeLink(const QString& link) {
    DecodedLink d;
    if (!link.startsWith(QLatin1String("mailto:"))) return d;
    d.isMailto = true;
    const QString rest = link.mid(7);
    const int q = rest.indexOf(QLatin1Char('?'));
    d.address = QUrl::fromPercentEncoding(rest.left(q).toLatin1());
    if (q < 0) return d;
    for (const QString& part : rest.mid(q + 1).split(QLatin1Char('&'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        d.headers.append({QUrl::fromPercentEncoding(part.left(eq).toLatin1()),
                          QUrl::fromPercentEncoding(part.mid(eq + 1).toLatin1())});
    }
    return d;
}

class Desk {
public:
    Desk() {
        testsupport::useFixedFormats();
        db_ = std::make_unique<testsupport::TestDatabase>();
        db_->addStaff(QStringLiteral("Abbott, Helen"),
                      {{QStringLiteral("EMail"), QStringLiteral("helen@corvane.test")}});
        db_->addStaff(QStringLiteral("Baker, Tom"),
                      {{QStringLiteral("EMail"), QStringLiteral("tom.baker@corvane.test")}});
        for (const char* m : {"Fax", "Telephone", "Voice Mail"})
            db_->insert(QStringLiteral("Media"), {{QStringLiteral("Media_Type"), m}});
        for (const char* m : {"Please Call", "Will Call Again"})
            db_->insert(QStringLiteral("Msgtype"), {{QStringLiteral("Message Type"), m}});
        ui_ = std::make_unique<testsupport::UiTestEnv>();
        shell_ = std::make_shared<RecordingShell>();
        shell::setShell(shell_);
    }
    ~Desk() {
        shell::setShell(nullptr);
        ui_.reset();
        db_.reset();
    }
    testsupport::TestDatabase& db() { return *db_; }
    testsupport::ScriptedPrompter& prompter() { return ui_->prompter(); }
    testsupport::NonBlockingShower& shower() { return ui_->shower(); }
    QStringList& links() { return shell_->links; }

    QList<QVariantMap> messages() { return db_->rows(QStringLiteral("SELECT * FROM Mess ORDER BY Mess_No")); }
    int messageCount() { return db_->scalar(QStringLiteral("SELECT COUNT(*) FROM Mess")).toInt(); }

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> ui_;
    std::shared_ptr<RecordingShell> shell_;
};

using testsupport::click;
using testsupport::pickFromList;
using testsupport::showActive;
using testsupport::typeInto;

// The three windows of the pad in the order of start-up, on a desk of the test's own.
class PadTest {
protected:
    std::unique_ptr<Desk> desk;
    std::unique_ptr<TMediaForm> media;
    std::unique_ptr<TAddMsgForm> form;
    std::unique_ptr<TMsgTypeForm> types;

    void openDesk() { desk = std::make_unique<Desk>(); }
    void createWindows() {
        media = std::make_unique<TMediaForm>();
        form = std::make_unique<TAddMsgForm>();
        types = std::make_unique<TMsgTypeForm>();
    }
    bool closeDesk() {
        const bool answered = desk->prompter().verifyAllAnswered();
        types.reset();
        form.reset();
        media.reset();
        desk.reset();
        return answered;
    }

    data::Table& mess() { return form->table(QStringLiteral("Table2")); }
    DBEdit* box(const char* name) { return form->child<DBEdit>(QLatin1String(name)); }
    DBLookupCombo* combo(const char* name) { return form->child<DBLookupCombo>(QLatin1String(name)); }
    DBLookupCombo* picker() { return combo("DBLookupCombo1"); }
    QString address() { return form->child<QLineEdit>(QStringLiteral("Edit2"))->text(); }

    void typePicker(const QString& text) {
        picker()->setFocus(Qt::MouseFocusReason);
        picker()->lineEdit()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(picker()->lineEdit(), Qt::Key_Delete);
        else
            QTest::keyClicks(picker()->lineEdit(), text);
    }
    void findAdd() { click(form->child<QWidget>(QStringLiteral("BitBtn3"))); }
    void save(ModalResult answer) {
        desk->prompter().expect(QStringLiteral("Save changes before closing?"), MsgDlgType::Confirmation,
                                MsgButtons::YesNoCancel, answer);
        click(form->child<QWidget>(QStringLiteral("Button4")));
    }
    void email(ModalResult answer) {
        desk->prompter().expect(QStringLiteral("Do you wish to email this message?"),
                                MsgDlgType::Confirmation, MsgButtons::YesNoCancel, answer);
        click(form->child<QWidget>(QStringLiteral("Button3")));
    }
    void cancelMessage() { click(form->child<QWidget>(QStringLiteral("Button1"))); }
    // A message started for `to`, picked from the list (or typed when it is no name there).
    void startFor(const QString& to) {
        if (!pickFromList(picker(), to)) typePicker(to);
        findAdd();
    }
};

} // namespace messagetest
