// What the check-out and the check-in window share, over both windows: the navigator as a
// tab stop of their tab orders, and the name picker clicked while a masked box holds an
// incomplete entry. The real windows on a fresh database, driven through their controls.
#include "locator/checkinform.h"
#include "locator/form12.h"
#include "tests/support/locatortest.h"
#include <QPushButton>
#include <QtTest>

using namespace locatortest;

class TestBothWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<Desk> desk;
    std::unique_ptr<controls::Form> form;

    void open(const QString& window) {
        desk = std::make_unique<Desk>();
        if (window == "CheckInForm")
            form = std::make_unique<TCheckInForm>();
        else
            form = std::make_unique<TForm12>();
        QVERIFY(showActive(*form));
    }
    QString name() { return form->field("StaffTableName").AsString(); }

    static void windows() {
        QTest::addColumn<QString>("window");
        QTest::newRow("check-out") << "CheckInForm";
        QTest::newRow("check-in") << "Form12";
    }

private slots:
    void cleanup() {
        if (desk) QVERIFY(desk->prompter().verifyAllAnswered());
        form.reset();
        desk.reset();
    }

    // Tab reaches the navigator; Left and Right move between its shown buttons, Space
    // presses the one in focus.
    void navigatorIsATabStop_data() { windows(); }
    void navigatorIsATabStop() {
        QFETCH(QString, window);
        open(window);
        auto* nav = form->child<DBNavigator>("DBNavigator1");
        auto* picker = form->child<QWidget>("DBLookupComboBox1");
        picker->setFocus(Qt::TabFocusReason);
        testsupport::key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), nav);
        QCOMPARE(nav->focusedButton(), DBNavigator::First);
        testsupport::key(Qt::Key_Left); // already the first
        QCOMPARE(nav->focusedButton(), DBNavigator::First);
        testsupport::key(Qt::Key_Right);
        testsupport::key(Qt::Key_Right);
        QCOMPARE(nav->focusedButton(), DBNavigator::Next);
        testsupport::key(Qt::Key_Space);
        QCOMPARE(name(), QString("Baker, Tom"));
        QCOMPARE(QApplication::focusWidget(), nav);
        // Right skips the hidden buttons and stops at the last shown one.
        for (int i = 0; i < 12; ++i)
            testsupport::key(Qt::Key_Right);
        QCOMPARE(nav->focusedButton(), DBNavigator::Refresh);
        testsupport::key(Qt::Key_Left);
        QCOMPARE(nav->focusedButton(), DBNavigator::Cancel);
        testsupport::key(Qt::Key_Left);
        QCOMPARE(nav->focusedButton(), window == "CheckInForm" ? DBNavigator::Edit : DBNavigator::Last);
        // Shift+Tab goes back to the picker; a click on a button leaves the focus there.
        testsupport::key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), picker);
        press(nav, DBNavigator::Prior);
        QCOMPARE(name(), QString("Abbott, Helen"));
        QCOMPARE(QApplication::focusWidget(), picker);
    }

    // A click on the name picker while a time box holds an incomplete entry: one refusal,
    // the list stays shut, the focus goes back to the box and the table stays where it was.
    void pickerClickedWhileAMaskedBoxIsIncomplete_data() { windows(); }
    void pickerClickedWhileAMaskedBoxIsIncomplete() {
        QFETCH(QString, window);
        open(window);
        auto* time = form->child<DBEdit>("EditTIMELEFT");
        auto* picker = form->child<DBLookupComboBox>("DBLookupComboBox1");
        typeInto(time, "9");
        desk->prompter().expect(invalidInput(), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        QTest::mouseClick(picker, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(desk->prompter().asked(), QStringList{invalidInput()});
        QVERIFY(!picker->view()->isVisible());
        QCOMPARE(QApplication::focusWidget(), time);
        QCOMPARE(name(), QString("Abbott, Helen"));
        QCOMPARE(form->table("StaffTable").State(), DataSetState::Edit);
        // Esc gives the box its value back; then the picker opens and moves the table.
        QTest::keyClick(time, Qt::Key_Escape);
        QVERIFY(pickFromList(picker, "Carter, Ann"));
        QCOMPARE(name(), QString("Carter, Ann"));
        QCOMPARE(picker->text(), QString("Carter, Ann"));
    }
};

QTEST_MAIN(TestBothWindows)
#include "tst_bothwindows.moc"
