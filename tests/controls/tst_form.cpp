// The window base class: loading a stored layout, handlers, showing and closing, keys.
#include "controls/form.h"
#include "controls/plaincontrols.h"
#include "controls/windowshower.h"
#include "data/errors.h"
#include "probe.h"
#include "tests/support/testui.h"
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

class TTestSecond : public controls::Form {
public:
    TTestSecond() : Form("TestSecond") {
        FORM_HANDLER(FormActivate);
        load();
    }
    int activations = 0;
    void FormActivate() { ++activations; }
};

class TTestWindow : public controls::Form {
public:
    TTestWindow() : Form("TestWindow") {
        FORM_HANDLER(FormCreate);
        FORM_HANDLER(FormActivate);
        FORM_HANDLER(Button1Click);
        FORM_HANDLER(FailClick);
        FORM_HANDLER(AskClick);
        FORM_HANDLER(OpenClick);
        FORM_HANDLER(MustNotRun);
        FORM_HANDLER(ChangeEditChange);
        load();
    }
    QStringList log;
    int activations = 0;
    controls::Form* other = nullptr;

    void FormCreate() { log << "FormCreate"; }
    void FormActivate() {
        ++activations;
        child<QLineEdit>("Edit1")->setFocus();
    }
    void Button1Click() { log << "Button1Click"; }
    void FailClick() {
        log << "FailClick";
        throw data::DatabaseError("StaffTable: Dataset not in edit or insert mode");
        log << "after the error";
    }
    void AskClick() {
        const auto answer = controls::MessageDlg("Are you sure you want to Check Out?",
                                                 MsgDlgType::Confirmation, MsgButtons::YesNo);
        log << (answer == ModalResult::Yes ? "yes" : "no");
    }
    void OpenClick() {
        other->ShowModal();
        log << "OpenClick done";
    }
    void MustNotRun() { log << "MustNotRun"; }
    void ChangeEditChange() { log << "change"; }
};

class TTestDefaults : public controls::Form {
public:
    TTestDefaults() : Form("TestDefaults") {
        FORM_HANDLER(OkClick);
        FORM_HANDLER(CancelClick);
        FORM_HANDLER(OtherClick);
        load();
    }
    QStringList log;
    void OkClick() { log << "OK"; }
    void CancelClick() { log << "Cancel"; }
    void OtherClick() { log << "Other"; }
};

class TTestSelfClosing : public controls::Form {
public:
    TTestSelfClosing() : Form("TestSelfClosing") {
        FORM_HANDLER(FormActivate);
        load();
    }
    int activations = 0;
    void FormActivate() {
        ++activations;
        Close();
    }
};

// A window that binds whatever handler names a test gives it.
class GenericForm : public controls::Form {
public:
    GenericForm(const QString& name, const QStringList& handlers) : Form(name) {
        for (const QString& h : handlers)
            bind(h, [] {});
        load();
    }
};

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerProbe(); }

    void loadsStoredLayout() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        QCOMPARE(w.windowTitle(), QString("Test Window"));
        QCOMPARE(w.objectName(), QString("TestWindow"));
        QVERIFY(!w.isVisible());
        // The stored dialog is the Form's content, not a window of its own.
        QVERIFY(w.content());
        QVERIFY(!w.content()->isWindow());
        QCOMPARE(w.content()->parentWidget(), &w);
        QCOMPARE(w.content()->objectName(), QString("TestWindow"));
        QCOMPARE(w.pos(), QPoint(100, 120));
        QCOMPARE(w.size(), QSize(400, 300));
        QCOMPARE(w.property("marker").toString(), QString("stored"));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(w.font().bold());
        QCOMPARE(w.font().pointSize(), 13);
        // Children inherit them.
        QVERIFY(w.child<QLineEdit>("Edit1")->font().bold());
        QCOMPARE(w.child<QLineEdit>("Edit1")->toolTip(),
                 QString("Enter employee last name here then, click the search button..."));
        QCOMPARE(w.child<QWidget>("Edit1")->geometry(), QRect(8, 8, 200, 24));
        // The creation handler ran once, while the window was made.
        QCOMPARE(w.log, QStringList{"FormCreate"});
        QCOMPARE(w.activations, 0);
        QVERIFY(w.isLoaded());
    }

    void activationOncePerShowing() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        TTestSecond second;
        w.other = &second;

        w.ShowModal();
        QVERIFY(w.isVisible());
        QCOMPARE(w.activations, 1);
        QCOMPARE(w.timesShown(), 1);
        // The activation ran with the window on screen, so its focus call took.
        QCOMPARE(w.focusWidget(), w.child<QWidget>("Edit1"));
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // A real message box over the window, answered inside its own loop.
        controls::setPrompter(nullptr);
        bool boxSeen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            boxSeen = true;
            box->button(QMessageBox::Yes)->click();
        });
        QTest::mouseClick(w.child<QPushButton>("AskButton"), Qt::LeftButton);
        QVERIFY(boxSeen);
        QCOMPARE(w.log.last(), QString("yes"));
        // The window becomes active again (as the platform makes it when the box goes).
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.activations, 1);

        // Another window shown over it and closed again.
        controls::setPrompter(
            std::shared_ptr<controls::Prompter>(&env.prompter(), [](controls::Prompter*) {}));
        QTest::mouseClick(w.child<QPushButton>("OpenButton"), Qt::LeftButton);
        QVERIFY(second.isVisible());
        QCOMPARE(second.activations, 1);
        QTest::mouseClick(second.child<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(!second.isVisible());
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.activations, 1);

        // A second showing runs it again.
        w.Close();
        QVERIFY(!w.isVisible());
        w.ShowModal();
        QCOMPARE(w.activations, 2);
        QCOMPARE(w.timesShown(), 2);
        QCOMPARE(env.shower().shown(), (QStringList{"TestWindow", "TestSecond", "TestWindow"}));
        w.Close();
        QVERIFY(env.prompter().verifyAllAnswered());
    }

    void defaultShowerRunsModalLoop() {
        testsupport::UiTestEnv env;
        controls::setWindowShower(nullptr);
        TTestWindow w;
        bool checked = false;
        QTimer::singleShot(0, [&] {
            checked = w.isVisible() && w.activations == 1 && QApplication::activeModalWidget() == &w;
            w.Close();
        });
        QCOMPARE(w.ShowModal(), ModalResult::Cancel);
        QVERIFY(checked);
        QVERIFY(!w.isVisible());
        // The window lives on and can be shown again.
        QTimer::singleShot(0, [&] { w.Close(); });
        w.ShowModal();
        QCOMPARE(w.activations, 2);
    }

    // Closing a modal window gives the keyboard back to the window it was opened from.
    void theWindowUnderAClosedOneIsActiveAgain() {
        testsupport::UiTestEnv env;
        controls::setWindowShower(nullptr);
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        TTestWindow w;
        QTimer::singleShot(0, [&] { w.Close(); });
        w.ShowModal();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        QCOMPARE(QApplication::activeWindow(), &owner);
    }

    void closedDuringActivationDoesNotBlock() {
        testsupport::UiTestEnv env;
        controls::setWindowShower(nullptr);
        TTestSelfClosing w;
        bool hung = false;
        QTimer::singleShot(0, [&] {
            if (w.isVisible()) {
                hung = true;
                w.Close();
            }
        });
        QCOMPARE(w.ShowModal(), ModalResult::Cancel);
        QVERIFY(!hung);
        QCOMPARE(w.activations, 1);
        QVERIFY(!w.isVisible());
    }

    void showingAVisibleWindowFails() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        w.ShowModal();
        QVERIFY_THROWS_EXCEPTION(data::Exception, w.ShowModal());
        QCOMPARE(w.activations, 1);
        w.Close();
    }

    void closeKindButtons() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        auto* close = w.child<controls::BitBtn>("BitBtn1");
        auto* done = w.child<controls::BitBtn>("BitBtn2");
        QCOMPARE(close->text(), QString("&Close")); // no stored caption
        QCOMPARE(done->text(), QString("&Done"));
        QCOMPARE(close->toolTip(), QString("Click this button to close screen..."));

        w.ShowModal();
        QTest::mouseClick(done, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.modalResult(), ModalResult::Cancel);
        w.ShowModal();
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        // No handler ran, the stored onClick of the close button included.
        QCOMPARE(w.log, QStringList{"FormCreate"});
    }

    void enterAndEscWithoutDefaultOrCancel() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        w.ShowModal();
        for (QPushButton* b : w.findChildren<QPushButton*>()) {
            QVERIFY2(!b->autoDefault(), qPrintable(b->objectName()));
            QVERIFY2(!b->isDefault(), qPrintable(b->objectName()));
        }
        auto* edit = w.child<QLineEdit>("Edit1");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(w.log, QStringList{"FormCreate"});
        // A focused button takes Enter.
        auto* search = w.child<QPushButton>("Button1");
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(w.log, (QStringList{"FormCreate", "Button1Click"}));
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        w.Close();
    }

    void defaultAndCancelWhereStored() {
        testsupport::UiTestEnv env;
        TTestDefaults w;
        w.ShowModal();
        auto* edit = w.child<QLineEdit>("Edit1");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(w.log, (QStringList{"OK", "Cancel"}));
        // The buttons run their handlers; closing is the handler's business.
        QVERIFY(w.isVisible());
        auto* other = w.child<QPushButton>("OtherButton");
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Return);
        QCOMPARE(w.log, (QStringList{"OK", "Cancel", "Other"}));
        w.Close();
    }

    void handlerErrorShownAndWindowStaysOpen() {
        testsupport::UiTestEnv env;
        env.prompter().expect("StaffTable: Dataset not in edit or insert mode.", MsgDlgType::Error,
                              MsgButtons::OK, ModalResult::OK);
        TTestWindow w;
        w.ShowModal();
        QTest::mouseClick(w.child<QPushButton>("FailButton"), Qt::LeftButton);
        QVERIFY(env.prompter().verifyAllAnswered());
        QCOMPARE(env.prompter().questions().front().caption, QString("The Quorvale"));
        QVERIFY(w.isVisible());
        QTest::mouseClick(w.child<QPushButton>("Button1"), Qt::LeftButton);
        QCOMPARE(w.log, (QStringList{"FormCreate", "FailClick", "Button1Click"}));
        w.Close();
    }

    void changeHandler() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        w.ShowModal();
        QTest::keyClicks(w.child<QLineEdit>("ChangeEdit"), "ab");
        QCOMPARE(w.log, (QStringList{"FormCreate", "change", "change"}));
        w.Close();
    }

    void frameCloseOnlyHides() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        w.ShowModal();
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QCOMPARE(w.modalResult(), ModalResult::Cancel);
        // Still the same loaded window with its controls.
        QVERIFY(w.child<QLineEdit>("Edit1"));
        w.ShowModal();
        QCOMPARE(w.activations, 2);
        w.Close();
    }

    void centredAndFixedFromLayout() {
        testsupport::UiTestEnv env;
        TTestDefaults w;
        w.ShowModal();
        const QRect avail = w.screen()->availableGeometry();
        QVERIFY2(qAbs(w.frameGeometry().center().x() - avail.center().x()) <= 1, "centred horizontally");
        QVERIFY2(qAbs(w.frameGeometry().center().y() - avail.center().y()) <= 1, "centred vertically");
        QCOMPARE(w.size(), QSize(300, 120));
        w.Close();
    }

    void faultsOfLayoutsFailClearly_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("handlers");
        QTest::addColumn<QString>("message");
        QTest::newRow("click handler")
            << "TestBadClick" << QStringList{}
            << "TestBadClick: handler 'Button7Clik' of Button7.onClick is not defined";
        QTest::newRow("activate handler")
            << "TestBadActivate" << QStringList{}
            << "TestBadActivate: handler 'FormActivat' of onActivate is not defined";
        QTest::newRow("create handler") << "TestBadCreate" << QStringList{}
                                        << "TestBadCreate: handler 'FormCreat' of onCreate is not defined";
        QTest::newRow("control class") << "TestBadClass" << QStringList{}
                                       << "TestBadClass: unknown control class 'NoSuchControl' of Thing1";
        QTest::newRow("change signal") << "TestBadChange" << QStringList{"Frame1Change"}
                                       << "TestBadChange: Frame1 has no change signal for onChange";
        QTest::newRow("menu handler") << "TestBadMenu" << QStringList{}
                                      << "TestBadMenu: handler 'ExitClik' of Exit.onClick is not defined";
        QTest::newRow("event handler")
            << "TestBadEvent" << QStringList{}
            << "TestBadEvent: handler 'StaffTableAfterOpn' of StaffTable.AfterOpen is not defined";
        QTest::newRow("grid") << "TestBadGrid" << QStringList{} << "TestBadGrid: no grid named 'DBGrid9'";
        QTest::newRow("object class") << "TestBadObject" << QStringList{}
                                      << "TestBadObject: unknown data object class 'Tabel' of StaffTable";
        QTest::newRow("data source")
            << "TestBadSource" << QStringList{}
            << "TestBadSource: data source DataSource1 names no dataset 'StaffTabel'";
        QTest::newRow("key") << "TestBadKey" << QStringList{}
                             << "TestBadKey: unknown key 'acitve' in StaffTable";
        QTest::newRow("field type") << "TestBadFieldType" << QStringList{}
                                    << "TestBadFieldType: unknown field type 'Strng' of StaffTableName";
        QTest::newRow("json") << "TestBadJson" << QStringList{}
                              << "TestBadJson: data file ':/layouts/TestBadJson.json' is not valid JSON: ";
        QTest::newRow("picture")
            << "TestBadPicture" << QStringList{}
            << "TestBadPicture: picture ':/layouts/NoSuchLogo.jpg' of Image1 cannot be read";
        QTest::newRow("no layout") << "NoSuchLayout" << QStringList{}
                                   << "NoSuchLayout: layout ':/layouts/NoSuchLayout.ui' not found";
    }
    void faultsOfLayoutsFailClearly() {
        QFETCH(QString, layout);
        QFETCH(QStringList, handlers);
        QFETCH(QString, message);
        testsupport::UiTestEnv env;
        try {
            GenericForm f(layout, handlers);
            QFAIL("the layout loaded");
        } catch (const controls::LayoutError& e) {
            QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
        }
        QVERIFY(env.prompter().asked().isEmpty());
    }

    void accessorsRaiseWhenMissing() {
        testsupport::UiTestEnv env;
        TTestWindow w;
        QVERIFY(w.child<QLineEdit>("Edit1"));
        auto message = [](const std::function<void()>& f) {
            try {
                f();
            } catch (const controls::LayoutError& e) {
                return e.message();
            }
            return QString("no error");
        };
        QCOMPARE(message([&] { w.child<QLineEdit>("EditNAME"); }),
                 QString("TestWindow: no control named 'EditNAME'"));
        QCOMPARE(message([&] { w.child<QLineEdit>("Button1"); }),
                 QString("TestWindow: no control named 'Button1'"));
        QCOMPARE(message([&] { w.table("StaffTable"); }), QString("TestWindow: no table named 'StaffTable'"));
        QCOMPARE(message([&] { w.query("Query1"); }), QString("TestWindow: no query named 'Query1'"));
        QCOMPARE(message([&] { w.dataSet("Table1"); }), QString("TestWindow: no dataset named 'Table1'"));
        QCOMPARE(message([&] { w.dataSource("DataSource1"); }),
                 QString("TestWindow: no data source named 'DataSource1'"));
        QCOMPARE(message([&] { w.field("StaffTableStatus"); }),
                 QString("TestWindow: no field named 'StaffTableStatus'"));
        QCOMPARE(message([&] { w.menuItem("Exit"); }), QString("TestWindow: no menu item named 'Exit'"));
        QCOMPARE(message([&] { w.handler("Button9Click"); }),
                 QString("TestWindow: handler 'Button9Click' is not defined"));
        QVERIFY(!w.findDataSet("StaffTable"));
        QVERIFY(!w.findDataSource("DataSource1"));
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
