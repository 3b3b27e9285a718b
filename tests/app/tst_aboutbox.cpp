// The about box: its frame and texts, and which keys close it.
#include "app/aboutform.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "apptest.h"
#include "controls/plaincontrols.h"
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestAboutBox : public QObject {
    Q_OBJECT

    std::unique_ptr<apptest::Session> session;

    void showAbout() {
        MainForm->menuItem("About1")->trigger();
        QCOMPARE(session->env().shower().lastShown(), static_cast<controls::Form*>(AboutForm));
        QVERIFY(AboutForm->isVisible());
        AboutForm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(AboutForm));
    }

private slots:
    void init() {
        session = std::make_unique<apptest::Session>();
        session->createWindows();
        app::showMainWindow();
    }
    void cleanup() {
        QVERIFY(session->env().prompter().verifyAllAnswered());
        session.reset();
    }

    void frameAndPlace() {
        showAbout();
        QCOMPARE(AboutForm->windowTitle(), QStringLiteral("About"));
        QCOMPARE(AboutForm->size(), QSize(422, 209));
        QCOMPARE(AboutForm->minimumSize(), QSize(422, 209));
        QCOMPARE(AboutForm->maximumSize(), QSize(422, 209));
        QVERIFY(!(AboutForm->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(AboutForm->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(AboutForm->palette().color(QPalette::Window), QColor(Qt::white));
        const QRect screen = AboutForm->screen()->availableGeometry();
        QCOMPARE(AboutForm->frameGeometry().center(), screen.center());
        auto* panel = AboutForm->child<controls::Panel>("Panel1");
        QCOMPARE(panel->geometry(), QRect(8, 8, 105, 113));
        QCOMPARE(panel->bevelWidth(), 5);
        QCOMPARE(panel->fillColor(), panel->palette().color(QPalette::Light)); // button highlight
        QCOMPARE(AboutForm->child<controls::Image>("Image1")->parentWidget(), panel);
        auto* ok = AboutForm->child<QPushButton>("Button1");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(212, 177, 75, 25));
        QVERIFY(ok->isDefault());
        AboutForm->Close();
    }

    void texts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("height");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("Label2") << "Label2"
                                << "THE QUORVALE" << 16 << QPoint(168, 8);
        QTest::newRow("Label3") << "Label3"
                                << "Automated Staff Locator & Electronic Message Pad" << 11
                                << QPoint(128, 32);
        QTest::newRow("Label4") << "Label4"
                                << "Version 8.0.1.0" << 11 << QPoint(208, 64);
        QTest::newRow("Label8") << "Label8"
                                << "October, 2003" << 11 << QPoint(208, 144);
    }

    void texts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, height);
        QFETCH(QPoint, corner);
        auto* label = AboutForm->child<QLabel>(name);
        // The stored caption; "&" marks an accelerator as in every label (drawn underlined).
        QCOMPARE(label->text(), text);
        QVERIFY(qobject_cast<controls::Label*>(label));
        QCOMPARE(label->pos(), corner);
        QCOMPARE(label->font().pixelSize(), height);
        QCOMPARE(label->font().families().value(0), QStringLiteral("Arial Rounded MT Bold"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(label->geometry().right() < 422);
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("OK button") << "click" << true;
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Return") << "return" << true;
        QTest::newRow("close box") << "frame" << true;
        QTest::newRow("Esc") << "escape" << false;
    }

    void closing() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        showAbout();
        QWidget* focus = AboutForm->focusWidget() ? AboutForm->focusWidget() : AboutForm;
        if (how == "click")
            QTest::mouseClick(AboutForm->child<QPushButton>("Button1"), Qt::LeftButton);
        else if (how == "enter")
            QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier);
        else if (how == "return")
            QTest::keyClick(focus, Qt::Key_Return);
        else if (how == "escape")
            QTest::keyClick(focus, Qt::Key_Escape);
        else
            AboutForm->close(); // the close box
        QCOMPARE(AboutForm->isVisible(), !closes);
        if (how == "click" || how == "enter" || how == "return")
            QCOMPARE(AboutForm->modalResult(), controls::ModalResult::OK);
        // The main window is left as it was.
        QVERIFY(MainForm->isVisible());
        if (!closes) AboutForm->Close();
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
