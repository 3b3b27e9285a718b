#include "tests/support/testui.h"
#include "controls/application.h"
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "controls/printersetup.h"
#include <QTest>

namespace testsupport {

namespace {

QString typeName(controls::MsgDlgType t) {
    switch (t) {
    case controls::MsgDlgType::Confirmation:
        return QStringLiteral("Confirmation");
    case controls::MsgDlgType::Information:
        return QStringLiteral("Information");
    case controls::MsgDlgType::Warning:
        return QStringLiteral("Warning");
    case controls::MsgDlgType::Error:
        return QStringLiteral("Error");
    }
    return {};
}

QString buttonsName(controls::MsgButtons b) {
    switch (b) {
    case controls::MsgButtons::YesNo:
        return QStringLiteral("[Yes, No]");
    case controls::MsgButtons::YesNoCancel:
        return QStringLiteral("[Yes, No, Cancel]");
    case controls::MsgButtons::OK:
        return QStringLiteral("[OK]");
    case controls::MsgButtons::OKCancel:
        return QStringLiteral("[OK, Cancel]");
    }
    return {};
}

void fail(const QString& message) {
    // Records the failure on the running test function; the code under test goes on.
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

} // namespace

ScriptedPrompter& ScriptedPrompter::expect(const QString& text, controls::ModalResult answer) {
    expected_.push_back({text, std::nullopt, std::nullopt, answer, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expect(const QString& text, controls::MsgDlgType type,
                                           controls::MsgButtons buttons, controls::ModalResult answer) {
    expected_.push_back({text, type, buttons, answer, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectMatching(const QRegularExpression& pattern,
                                                   controls::MsgDlgType type, controls::MsgButtons buttons,
                                                   controls::ModalResult answer) {
    expected_.push_back({pattern.pattern(), type, buttons, answer, pattern});
    return *this;
}

controls::ModalResult ScriptedPrompter::ask(const QString& text, controls::MsgDlgType type,
                                            controls::MsgButtons buttons, const QString& caption) {
    questions_.push_back({text, type, buttons, caption});
    const auto refuse =
        buttons == controls::MsgButtons::YesNo ? controls::ModalResult::No : controls::ModalResult::Cancel;
    const QString asked = QStringLiteral("\"%1\" (%2 %3)").arg(text, typeName(type), buttonsName(buttons));
    if (expected_.isEmpty()) {
        ++unexpected_;
        fail(QStringLiteral("Unexpected question %1").arg(asked));
        return refuse;
    }
    const Expectation& next = expected_.front();
    const bool textOk = next.pattern
                            ? QRegularExpression(QRegularExpression::anchoredPattern(next.pattern->pattern()),
                                                 next.pattern->patternOptions())
                                  .match(text)
                                  .hasMatch()
                            : next.text == text;
    if (!textOk || (next.type && *next.type != type) || (next.buttons && *next.buttons != buttons)) {
        ++unexpected_;
        QString wanted = QStringLiteral("\"%1\"").arg(next.text);
        if (next.type)
            wanted += QStringLiteral(" (%1 %2)").arg(typeName(*next.type), buttonsName(*next.buttons));
        fail(QStringLiteral("Unexpected question %1; expected %2").arg(asked, wanted));
        return refuse;
    }
    const auto answer = next.answer;
    expected_.pop_front();
    return answer;
}

QStringList ScriptedPrompter::asked() const {
    QStringList texts;
    for (const Question& q : questions_)
        texts << q.text;
    return texts;
}

bool ScriptedPrompter::verifyAllAnswered() {
    if (expected_.isEmpty() && unexpected_ == 0) return true;
    QStringList left;
    for (const Expectation& e : expected_)
        left << QStringLiteral("\"%1\"").arg(e.text);
    QString message;
    if (!left.isEmpty())
        message =
            QStringLiteral("Questions expected but not asked: %1.").arg(left.join(QStringLiteral(", ")));
    if (unexpected_)
        message += QStringLiteral(" %1 unexpected question(s); asked: %2")
                       .arg(unexpected_)
                       .arg(asked().join(QStringLiteral(" | ")));
    fail(message.trimmed());
    return false;
}

void ScriptedPrompter::clear() {
    expected_.clear();
    questions_.clear();
    unexpected_ = 0;
}

controls::ModalResult NonBlockingShower::showModal(controls::Form& form) {
    shown_ << form.objectName();
    last_ = &form;
    form.beginShowing();
    return controls::ModalResult::None;
}

UiTestEnv::UiTestEnv()
    : prompter_(std::make_shared<ScriptedPrompter>()), shower_(std::make_shared<NonBlockingShower>()),
      oldTitle_(controls::applicationTitle()) {
    controls::setApplicationTitle(QStringLiteral("The Quorvale"));
    controls::registerDataControls();
    controls::setPrompter(prompter_);
    controls::setWindowShower(shower_);
    controls::setPrinterDialogRunner([this](QPrinter&) {
        ++printerDialogs_;
        return printerAnswer_;
    });
}

UiTestEnv::~UiTestEnv() {
    controls::setPrinterDialogRunner({});
    controls::setWindowShower(nullptr);
    controls::setPrompter(nullptr);
    controls::setApplicationTitle(oldTitle_);
}

} // namespace testsupport
