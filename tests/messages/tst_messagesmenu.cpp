// The message pad's windows from the main window's menu: "Message Pad" > "Message Pad Setup"
// > "Media Listing" / "Message Type Listing", and "Add Telephone Message".
#include "app/mainform.h"
#include "app/startup.h"
#include "messagetest.h"
#include <QAction>
#include <QtTest>

class TestMessagesMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>(true);
        env = std::make_unique<testsupport::UiTestEnv>();
        testsupport::useFixedFormats();
        app::initialiseApplication();
        app::createWindows();
        app::showMainWindow();
    }
    void cleanup() {
        QVERIFY(env->prompter().verifyAllAnswered());
        app::destroyWindows();
        env.reset();
        db.reset();
    }

    void eachItemShowsItsWindow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::newRow("media") << "Media1"
                               << "Media Listing"
                               << "MediaForm"
                               << "Message Media Type Setup Form";
        QTest::newRow("message types") << "MessageTypeListing1"
                                       << "Message Type Listing"
                                       << "MsgTypeForm"
                                       << "Message Type List Setup";
        QTest::newRow("add message") << "AddMessage1"
                                     << "Add Telephone Message"
                                     << "AddMsgForm"
                                     << "Add Telephone Messages";
    }
    void eachItemShowsItsWindow() {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QString, window);
        QFETCH(QString, title);
        QAction* a = MainForm->menuItem(item);
        QCOMPARE(QString(a->text()).remove('&'), caption);
        env->shower().clear();
        a->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(env->shower().shown(), QStringList{window});
        QCOMPARE(env->shower().lastShown()->windowTitle(), title);
        env->shower().lastShown()->Close();
    }
};

QTEST_MAIN(TestMessagesMenu)
#include "tst_messagesmenu.moc"
