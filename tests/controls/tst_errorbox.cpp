// The default error box, guarded handlers and the start-up failure box.
#include "controls/application.h"
#include "controls/startuperror.h"
#include "data/errors.h"
#include "tests/support/testui.h"
#include <QtTest>
#include <stdexcept>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

class TestErrorBox : public QObject {
    Q_OBJECT
private slots:
    void dotRule_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        // Nothing is added after a blank, a control character or "!" ... "." (codes 0x21-0x2E).
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letter") << "Key violation"
                                << "Key violation.";
        QTest::newRow("full stop") << "Key violation."
                                   << "Key violation.";
        QTest::newRow("blank") << "Invalid input value "
                               << "Invalid input value ";
        QTest::newRow("line break") << "first line\n"
                                    << "first line\n";
        QTest::newRow("carriage return") << "first line\r"
                                         << "first line\r";
        QTest::newRow("tab") << "a\t"
                             << "a\t";
        QTest::newRow("!") << "Stop!"
                           << "Stop!";
        QTest::newRow("double quote") << "file \"x\""
                                      << "file \"x\"";
        QTest::newRow("#") << "row #"
                           << "row #";
        QTest::newRow("$") << "cost $"
                           << "cost $";
        QTest::newRow("%") << "100%"
                           << "100%";
        QTest::newRow("&") << "A &"
                           << "A &";
        QTest::newRow("single quote") << "Field 'Emp_Num'"
                                      << "Field 'Emp_Num'";
        QTest::newRow("(") << "open ("
                           << "open (";
        QTest::newRow(")") << "(Staff)"
                           << "(Staff)";
        QTest::newRow("*") << "Smith*"
                           << "Smith*";
        QTest::newRow("+") << "C+"
                           << "C+";
        QTest::newRow(",") << "a,"
                           << "a,";
        QTest::newRow("-") << "a-"
                           << "a-";
        QTest::newRow("/") << "C:/"
                           << "C:/.";
        QTest::newRow("digit") << "error 42"
                               << "error 42.";
        QTest::newRow(":") << "StaffTable:"
                           << "StaffTable:.";
        QTest::newRow("?") << "Why?"
                           << "Why?.";
        QTest::newRow("]") << "[Name]"
                           << "[Name].";
        QTest::newRow("~") << "a~"
                           << "a~.";
        QTest::newRow("non-ASCII letter")
            << QString::fromUtf8("Müller, Jörg") << QString::fromUtf8("Müller, Jörg.");
        QTest::newRow("only a blank") << " "
                                      << " ";
    }
    void dotRule() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(controls::errorBoxText(message), shown);
    }

    void handleExceptionShowsStopBoxWithTitle() {
        testsupport::UiTestEnv env;
        env.prompter().expect("StaffTable: Dataset not in edit or insert mode.", MsgDlgType::Error,
                              MsgButtons::OK, ModalResult::OK);
        controls::HandleException(data::DatabaseError("StaffTable: Dataset not in edit or insert mode"));
        QVERIFY(env.prompter().verifyAllAnswered());
        QCOMPARE(env.prompter().questions().front().caption, QString("The Quorvale"));
    }

    void runGuardedSkipsRestOfHandlerAndGoesOn() {
        testsupport::UiTestEnv env;
        env.prompter().expect("Field 'Emp_Num' must have a value.", MsgDlgType::Error, MsgButtons::OK,
                              ModalResult::OK);
        env.prompter().expect("bad thing.", MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        bool after = false;
        controls::runGuarded([&] {
            throw data::DatabaseError("Field 'Emp_Num' must have a value");
            after = true;
        });
        QVERIFY(!after);
        // Any std::exception is shown with its what() text.
        controls::runGuarded([] { throw std::runtime_error("bad thing"); });
        bool ran = false;
        controls::runGuarded([&] { ran = true; });
        QVERIFY(ran);
        QVERIFY(env.prompter().verifyAllAnswered());
    }

    void startupText_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        const QString head =
            "Exception %1 in module quorvale at " +
            QString("%1").arg(quintptr(0x401A2C), int(sizeof(void*) * 2), 16, QChar('0')).toUpper() + ".\r\n";
        QTest::newRow("engine error")
            << 0 << "Unknown database alias: Corvane2003"
            << head.arg("EDBEngineError") + "Unknown database alias: Corvane2003.\r\n";
        QTest::newRow("ends in full stop")
            << 1 << "Table does not exist." << head.arg("EDatabaseError") + "Table does not exist.\r\n";
        // Unlike the error box, only "." counts here.
        QTest::newRow("ends in !") << 1 << "Stop!" << head.arg("EDatabaseError") + "Stop!.\r\n";
        QTest::newRow("ends in blank") << 1 << "x " << head.arg("EDatabaseError") + "x .\r\n";
        QTest::newRow("empty") << 1 << "" << head.arg("EDatabaseError") + "\r\n";
        QTest::newRow("edit error") << 2 << "Invalid input value"
                                    << head.arg("EDBEditError") + "Invalid input value.\r\n";
        QTest::newRow("not a layer error") << 3 << "boom" << head.arg("Exception") + "boom.\r\n";
    }
    void startupText() {
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        const void* addr = reinterpret_cast<const void*>(quintptr(0x401A2C));
        QString text;
        switch (kind) {
        case 0:
            text = controls::startupErrorText(data::EngineError(message), "quorvale", addr);
            break;
        case 1:
            text = controls::startupErrorText(data::DatabaseError(message), "quorvale", addr);
            break;
        case 2:
            text = controls::startupErrorText(data::EditError(message), "quorvale", addr);
            break;
        default:
            text = controls::startupErrorText(std::runtime_error(message.toStdString()), "quorvale", addr);
        }
        QCOMPARE(text, expected);
    }

    void runStartupShowsApplicationErrorAndFails() {
        testsupport::UiTestEnv env;
        const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        env.prompter().expectMatching(
            QRegularExpression("Exception EDBEngineError in module " + QRegularExpression::escape(module) +
                               " at [0-9A-F]+\\.\r\nUnknown database alias: Corvane2003\\.\r\n"),
            MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        bool later = false;
        const bool ok = controls::runStartup([&] {
            throw data::EngineError("Unknown database alias: Corvane2003");
            later = true;
        });
        QVERIFY(!ok);
        QVERIFY(!later);
        QVERIFY(env.prompter().verifyAllAnswered());
        QCOMPARE(env.prompter().questions().front().caption, QString("Application Error"));
    }

    void runStartupPassesWhenNothingFails() {
        testsupport::UiTestEnv env;
        bool ran = false;
        QVERIFY(controls::runStartup([&] { ran = true; }));
        QVERIFY(ran);
        QVERIFY(env.prompter().asked().isEmpty());
    }
};

QTEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
