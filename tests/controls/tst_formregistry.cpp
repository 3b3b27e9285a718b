// The window registry: a window is reachable through its global instance from the start of its
// creation until it is destroyed; a handler that reaches a window that does not exist stops
// with the default error box instead of ending the program.
#include "controls/form.h"
#include "data/errors.h"
#include "tests/support/testui.h"
#include <QPushButton>
#include <QtTest>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {

class TTestSecond : public controls::Form {
public:
    explicit TTestSecond(bool failCreation = false);
    bool reachableWhileCreated = false;
    void FormActivate() {}
};

inline constexpr controls::FormInstance<TTestSecond> TestSecond{"TestSecond"};

TTestSecond::TTestSecond(bool failCreation) : Form("TestSecond") {
    reachableWhileCreated = TestSecond == this;
    FORM_HANDLER(FormActivate);
    load();
    if (failCreation) throw data::EngineError("Table does not exist: Media");
}

// A window of another class under the same name is not the window the instance stands for.
class TOtherSecond : public controls::Form {
public:
    TOtherSecond() : Form("TestSecond") {
        bind("FormActivate", [] {});
        load();
    }
};

// Its "Open" button shows the second window through the global instance.
class TTestWindow : public controls::Form {
public:
    TTestWindow() : Form("TestWindow") {
        for (const char* h : {"FormCreate", "FormActivate", "Button1Click", "FailClick", "AskClick",
                              "MustNotRun", "ChangeEditChange"})
            bind(h, [] {});
        bind("OpenClick", [this] {
            TestSecond->ShowModal();
            log << "shown";
        });
        load();
    }
    QStringList log;
};

} // namespace

class TestFormRegistry : public QObject {
    Q_OBJECT
private slots:
    void reachableFromCreationToDestruction() {
        testsupport::UiTestEnv env;
        QVERIFY(!TestSecond);
        {
            TTestSecond first;
            QVERIFY(first.reachableWhileCreated);
            QCOMPARE(TestSecond, &first);
            QCOMPARE(&controls::Form::instance("TestSecond"), static_cast<controls::Form*>(&first));
            {
                // The latest window made under a name is found; when it goes, the one before.
                TTestSecond second;
                QCOMPARE(TestSecond, &second);
            }
            QCOMPARE(TestSecond, &first);
        }
        QVERIFY(!TestSecond);
        QVERIFY(!controls::Form::find("TestSecond"));
        QVERIFY_THROWS_EXCEPTION(controls::MissingWindowError, controls::Form::instance("TestSecond"));
    }

    void missingWindowShowsTheErrorBox_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("never made") << "never";
        QTest::newRow("creation failed") << "failed";
        QTest::newRow("another class under its name") << "other";
    }

    void missingWindowShowsTheErrorBox() {
        QFETCH(QString, how);
        testsupport::UiTestEnv env;
        TTestWindow w;
        std::unique_ptr<TOtherSecond> other;
        if (how == "failed") {
            bool thrown = false;
            try {
                TTestSecond broken(true);
            } catch (const data::EngineError&) {
                thrown = true;
            }
            QVERIFY(thrown);
        } else if (how == "other") {
            other = std::make_unique<TOtherSecond>();
        }
        QVERIFY(!TestSecond);

        w.ShowModal();
        env.prompter().expect("The window TestSecond does not exist.", MsgDlgType::Error, MsgButtons::OK,
                              ModalResult::OK);
        QTest::mouseClick(w.child<QPushButton>("OpenButton"), Qt::LeftButton);
        QVERIFY(env.prompter().verifyAllAnswered());
        QCOMPARE(env.prompter().questions().front().caption, QString("The Quorvale"));
        // The rest of the handler is skipped; the window stays open and goes on.
        QVERIFY(w.log.isEmpty());
        QVERIFY(w.isVisible());

        // Once the window exists, the same command shows it.
        TTestSecond second;
        QTest::mouseClick(w.child<QPushButton>("OpenButton"), Qt::LeftButton);
        QCOMPARE(env.shower().lastShown(), static_cast<controls::Form*>(&second));
        QCOMPARE(w.log, QStringList{"shown"});
        second.Close();
        w.Close();
    }
};

QTEST_MAIN(TestFormRegistry)
#include "tst_formregistry.moc"
