// Start-up failure: a table, the index "NAMEIndex" or the alias missing stops the creation of
// the windows at the window that needs it; no window is shown, the "Application Error" box
// comes up and the program ends with exit code 1.
#include "app/mainform.h"
#include "app/startup.h"
#include "apptest.h"
#include "records/dskstaff.h"
#include "records/passwordform.h"
#include "data/database.h"
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

// Records the one box and what the program looked like while it was up.
class RecordingPrompter : public controls::Prompter {
public:
    struct Box {
        QString text, caption;
        controls::MsgDlgType type;
        controls::MsgButtons buttons;
        QStringList instances;
        QStringList visibleWindows;
    };
    QList<Box> boxes;

    controls::ModalResult ask(const QString& text, controls::MsgDlgType type, controls::MsgButtons buttons,
                              const QString& caption) override {
        Box box{text, caption, type, buttons, apptest::instancesState(), {}};
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) box.visibleWindows << w->objectName();
        boxes << box;
        return controls::ModalResult::OK;
    }
};

} // namespace

class TestStartupFailure : public QObject {
    Q_OBJECT

private slots:
    void missingPieceEndsTheProgram_data() {
        QTest::addColumn<QString>("kind"); // table, index or alias
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("failingWindow");
        // The first window whose layout opens the missing piece stops the creation.
        QTest::newRow("Staff") << "table"
                               << "Staff"
                               << "MainForm";
        QTest::newRow("Staff_Log") << "table"
                                   << "Staff_Log"
                                   << "MainForm";
        QTest::newRow("Dept") << "table"
                              << "Dept"
                              << "LocatorForm2";
        QTest::newRow("Destination") << "table"
                                     << "Destination"
                                     << "Form12";
        QTest::newRow("Mess") << "table"
                              << "Mess"
                              << "AddMsgForm";
        QTest::newRow("Media") << "table"
                               << "Media"
                               << "MediaForm";
        QTest::newRow("Msgtype") << "table"
                                 << "Msgtype"
                                 << "AddMsgForm";
        QTest::newRow("NAMEIndex") << "index"
                                   << "NAMEIndex"
                                   << "EmployeeForm";
        QTest::newRow("alias") << "alias"
                               << "Corvane2003"
                               << "MainForm";
    }

    void missingPieceEndsTheProgram() {
        QFETCH(QString, kind);
        QFETCH(QString, missing);
        QFETCH(QString, failingWindow);

        apptest::Session session;
        if (kind == "table")
            session.db().dropTable(missing);
        else if (kind == "index")
            session.db().dropIndex(missing);
        else
            QVERIFY(QFile::remove(data::AliasConfig::configFilePath()));
        auto boxes = std::make_shared<RecordingPrompter>();
        controls::setPrompter(boxes);

        const int code = app::runApplication();

        QCOMPARE(code, 1);
        QCOMPARE(boxes->boxes.size(), 1);
        const RecordingPrompter::Box box = boxes->boxes.first();
        QCOMPARE(box.caption, QStringLiteral("Application Error"));
        QCOMPARE(box.type, controls::MsgDlgType::Error);
        QCOMPARE(box.buttons, controls::MsgButtons::OK);

        // "Exception %s in module %s at %p.\r\n%s%s\r\n"
        static const QRegularExpression format(
            QStringLiteral("^Exception (E\\w+) in module (.+) at ([0-9A-F]{8,16})\\.\\r\\n(.+)\\r\\n$"),
            QRegularExpression::DotMatchesEverythingOption);
        const auto m = format.match(box.text);
        QVERIFY2(m.hasMatch(), qPrintable(box.text));
        QCOMPARE(m.captured(2), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        const QString message = m.captured(4);
        QVERIFY2(message.endsWith(u'.'), qPrintable(message));
        QVERIFY2(message.contains(missing), qPrintable(message));

        // While the box was up: the windows before the failing one existed, it and the later
        // ones did not, and nothing was on screen.
        QStringList expected;
        bool reached = false;
        for (const QString& name : apptest::windowNames()) {
            reached = reached || name == failingWindow;
            expected << (reached ? name + "=null" : name);
        }
        QCOMPARE(box.instances, expected);
        QCOMPARE(box.visibleWindows, QStringList());
        QVERIFY(session.env().shower().shown().isEmpty());

        // Afterwards every window is gone.
        for (const QString& name : apptest::windowNames())
            QVERIFY2(!apptest::instance(name), qPrintable(name));
        QVERIFY(app::createdWindows().isEmpty());
    }

    // A window whose creation failed is not reachable: a command that shows it gets the
    // default error box and the program goes on.
    void commandOnAWindowNotCreated_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("the failing window") << "Media1"
                                            << "MediaForm";
        QTest::newRow("a window after it") << "AddMessage1"
                                           << "AddMsgForm";
        QTest::newRow("the last window") << "ImportContacts1"
                                         << "ImportForm";
    }

    void commandOnAWindowNotCreated() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        apptest::Session session;
        session.db().dropTable("Media");
        bool failed = false;
        try {
            session.createWindows();
        } catch (const data::Exception&) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(!apptest::instance(window));

        MainForm->beginShowing();
        auto& prompter = session.env().prompter();
        prompter.expect("The window " + window + " does not exist.", controls::MsgDlgType::Error,
                        controls::MsgButtons::OK, controls::ModalResult::OK);
        MainForm->menuItem(item)->trigger();
        QVERIFY(prompter.verifyAllAnswered());
        QCOMPARE(prompter.questions().front().caption, QString("The Quorvale"));
        QVERIFY(session.env().shower().shown().isEmpty());
        QVERIFY(MainForm->isVisible());

        // A window made before the failing one is shown as ever.
        MainForm->menuItem("Setup1")->trigger();
        QCOMPARE(session.env().shower().lastShown(), static_cast<controls::Form*>(DSKSTAFF));
        DSKSTAFF->Close();
        MainForm->hide();
    }

    // The profile window without the password window: "Password" reports it.
    void passwordWindowNotCreated() {
        apptest::Session session;
        app::initialiseApplication();
        TDSKSTAFF profile;
        QVERIFY(!PasswordForm);
        profile.ShowModal();
        auto& prompter = session.env().prompter();
        prompter.expect("The window PasswordForm does not exist.", controls::MsgDlgType::Error,
                        controls::MsgButtons::OK, controls::ModalResult::OK);
        profile.child<QPushButton>("Button3")->click();
        QVERIFY(prompter.verifyAllAnswered());
        QVERIFY(profile.isVisible());
        QCOMPARE(session.env().shower().shown(), QStringList{"DSKSTAFF"});
        profile.Close();
    }
};

QTEST_MAIN(TestStartupFailure)
#include "tst_startupfailure.moc"
