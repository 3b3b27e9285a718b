#pragma once
// Windows and questions in tests: scripted answers that fail the test on an unexpected
// question, a window shower that does not block, and an environment that installs both.
//
//   testsupport::UiTestEnv env;                       // title, data controls, both seams
//   env.prompter().expect("Return to Main Menu?", controls::ModalResult::Yes);
//   form.ShowModal();                                 // shown, activated, returns at once
//   QTest::mouseClick(form.child<QPushButton>("Button2"), Qt::LeftButton);
//   QVERIFY(env.prompter().verifyAllAnswered());
#include "controls/dialogs.h"
#include "controls/form.h"
#include "controls/windowshower.h"
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

namespace testsupport {

class ScriptedPrompter : public controls::Prompter {
public:
    struct Question {
        QString text;
        controls::MsgDlgType type;
        controls::MsgButtons buttons;
        QString caption;
    };

    // The next question must have this text (and, when given, type and buttons); it is
    // answered with `answer`.
    ScriptedPrompter& expect(const QString& text, controls::ModalResult answer);
    ScriptedPrompter& expect(const QString& text, controls::MsgDlgType type, controls::MsgButtons buttons,
                             controls::ModalResult answer);
    // For texts that vary (an address): the whole text must match the pattern.
    ScriptedPrompter& expectMatching(const QRegularExpression& pattern, controls::MsgDlgType type,
                                     controls::MsgButtons buttons, controls::ModalResult answer);

    // A question that was not expected (or not in this order) fails the running test and is
    // answered Cancel (No for [Yes, No]).
    controls::ModalResult ask(const QString& text, controls::MsgDlgType type, controls::MsgButtons buttons,
                              const QString& caption) override;

    QStringList asked() const; // every text asked, in order
    const QVector<Question>& questions() const { return questions_; }
    int pending() const { return int(expected_.size()); }
    int unexpected() const { return unexpected_; }
    // True when every expected question was asked and nothing unexpected came; otherwise
    // records a failure naming what is left.
    bool verifyAllAnswered();
    void clear();

private:
    struct Expectation {
        QString text;
        std::optional<controls::MsgDlgType> type;
        std::optional<controls::MsgButtons> buttons;
        controls::ModalResult answer;
        std::optional<QRegularExpression> pattern;
    };
    QVector<Expectation> expected_;
    QVector<Question> questions_;
    int unexpected_ = 0;
};

// ShowModal shows the window and runs its activation, then returns at once (result None);
// the test drives the window and closes it (Close(), a button, or the frame).
class NonBlockingShower : public controls::WindowShower {
public:
    controls::ModalResult showModal(controls::Form& form) override;
    QStringList shown() const { return shown_; } // window names, in order of showing
    int timesShown(const QString& name) const { return int(shown_.count(name)); }
    controls::Form* lastShown() const { return last_; }
    void clear() { shown_.clear(); }

private:
    QStringList shown_;
    QPointer<controls::Form> last_;
};

// Installs a ScriptedPrompter and a NonBlockingShower, sets the title "The Quorvale",
// registers the data-aware controls and answers the printer set-up dialog (Cancel unless
// told otherwise); the destructor puts the defaults back.
class UiTestEnv {
public:
    UiTestEnv();
    ~UiTestEnv();
    UiTestEnv(const UiTestEnv&) = delete;
    UiTestEnv& operator=(const UiTestEnv&) = delete;

    ScriptedPrompter& prompter() { return *prompter_; }
    NonBlockingShower& shower() { return *shower_; }

    // The answer of the next printer set-up dialogs, and how often one was shown.
    void setPrinterDialogAnswer(bool ok) { printerAnswer_ = ok; }
    int printerDialogsShown() const { return printerDialogs_; }

private:
    std::shared_ptr<ScriptedPrompter> prompter_;
    std::shared_ptr<NonBlockingShower> shower_;
    QString oldTitle_;
    bool printerAnswer_ = false;
    int printerDialogs_ = 0;
};

} // namespace testsupport
